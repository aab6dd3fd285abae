#pragma once

#include <QString>

// How a path as the user or the system gave it becomes a path of the batch
// job. The batch file runs on Windows, so every path in it is a Windows
// path; off Windows the native root is placed on the drive Z:, which the
// Windows compatibility layers map to "/".
namespace jobpath {

enum class Style {
    Windows, // native paths are Windows paths already
    Unix // native paths start at "/"; Z: stands for the root
};

// The style of the system the program was built for (jobpath_unix.cpp,
// jobpath_win.cpp).
Style hostStyle();

// The one rule, for dialogs, drops, typed folders and the command line:
// - a native absolute path is put in its plain form ("." and ".." folded
//   away) and, off Windows, placed on Z: ("/home/a/x.dxf" gives
//   "Z:\home\a\x.dxf");
// - a relative native path is first made absolute against `workingFolder`;
//   with no working folder it stays relative, in the Windows form;
// - a path already in the Windows form ("C:...", "\\server\...") keeps its
//   text, with every "/" turned into "\" and "." and ".." folded away as
//   Windows folds them (never above its drive or share).
// An empty text stays empty.
QString toJob(const QString &given, Style style, const QString &workingFolder = QString());

// A folder as the job holds it: the path rule, then a trailing "\". A text
// of blanks stays as given, so that the checks take it as no folder.
QString folderToJob(const QString &given, Style style, const QString &workingFolder = QString());

// True for the root of a drive, with or without its "\\" ("D:", "D:\\"):
// always there, so no batch file makes it or looks for it.
bool isDriveRoot(QStringView folder);

// True for a job path on Z:, the drive that stands for the root of a
// system whose names tell case apart ("Plan.dxf" and "plan.dxf" are two
// files there).
bool onUnixRoot(QStringView job);

// What follows a path's last "\": a name of its own (a file, a parameter
// file), or the start of the names made in a folder.
enum class PathEnd { Name, Folder };

// The first part of a job path that Windows reads as another name, or a
// null view when there is none. Windows drops the dots and blanks a part
// ends with ("plan." and "plan " are "plan"), opens a device for CON, PRN,
// AUX, NUL, COM1-COM9, LPT1-LPT9, CONIN$ and CONOUT$ whatever follows them
// after a dot, and takes a ":" after the drive letter as the start of a
// stream name. A "/" marks a "\" inside a native name, which Windows would
// take as a separator. "." and ".." are no names. A drive without its root
// ("D:DRAW", read in that drive's current folder) and the device namespace
// ("\\.\", "\\?\") are read otherwise too: the part named is the drive
// and its first name, or the namespace's prefix.
QStringView partReadOtherwise(QStringView path, PathEnd end);

// True for a Windows name of the empty device, NUL (any case, with or
// without a folder, an extension or a colon, or as "\\.\NUL"): reading
// it gives nothing, as /dev/null does on Linux.
bool namesNullDevice(QStringView windowsPath);

// True for a name in the shape of a short name Windows makes for a long one
// ("PLANNI~1.DXF", "PROGRA~1"): at most 8 characters that end in "~" and
// digits, then at most a dot and 3 more. Windows opens such a name as the
// long file whose short name it is, where there is one.
bool hasShortNameShape(QStringView name);

// The inverse, for handing a job folder to a native dialog. A job path
// that does not map onto this system gives an empty text.
QString toNative(const QString &job, Style style);

} // namespace jobpath
