#pragma once

#include <QString>

// The text rules shared by the save checks, the batch file and the inputs.
// They work on characters, so a double-byte character of code page 932 is
// never split and its second byte (0x5C in 表) is never taken for "\".
namespace textrules {

// Characters U+0000 to U+0020 removed from both ends.
QString trimmed(const QString &text);
QStringView trimmedView(QStringView text);

// a to z become A to Z; every other character stays as it is. The one rule
// of upper-casing, for a character and for a text.
constexpr char16_t upperCasedUnit(char16_t c) { return c >= u'a' && c <= u'z' ? char16_t(c - 0x20) : c; }
QString upperCased(const QString &text);
// A to Z become a to z; every other character stays as it is.
QString lowerCased(const QString &text);

// Which characters end a folder in a path.
enum class Separators {
    Windows, // "\" and ":", the form of paths in a batch job
    WindowsOrSlash // also "/", for native paths handed back by a dialog
};

// Where the parts of a path lie, found in one pass from its end.
struct PathParts
{
    qsizetype nameStart = 0; // just after the last separator
    qsizetype extStart = -1; // the last "." of the name, or -1
    qsizetype baseEnd = 0; // where the base name ends: the first occurrence of the extension in the name
};
PathParts pathParts(QStringView path, Separators seps = Separators::Windows);

// Everything up to and including the last separator.
QString folderPart(const QString &path, Separators seps = Separators::Windows);
// Everything after the last separator.
QString namePart(const QString &path, Separators seps = Separators::Windows);
// From the last "." to the end, unless a separator follows it; else empty.
QString extension(const QString &path, Separators seps = Separators::Windows);

// The folder text ending in exactly one more "\" if it did not end in one.
// An empty text stays empty: an empty field still means "no folder".
QString ensureTrailingBackslash(const QString &text);

// A count of files as shown in the count field: decimal, right-aligned with
// blanks to 8 characters, never cut.
QString formatFileCount(int count);

// The text of the error box for an exception message: a full stop is added
// when the message ends in a character above ".".
QString errorBoxText(const QString &message);

// A name as Windows compares names: every character upper-cased by its
// simple case mapping, one UTF-16 unit at a time, as the file system's
// table of upper-case letters does ("ａ" and "Ａ" name one file). Used to
// find two texts that name the same file; never written anywhere. Every
// comparison, key and hash of names goes through the one unit fold.
char16_t nonAsciiFoldedUnit(char16_t c);
inline char16_t windowsFoldedUnit(char16_t c) { return c < 0x80 ? upperCasedUnit(c) : nonAsciiFoldedUnit(c); }
QString windowsFolded(QStringView name);
bool sameWindowsName(QStringView a, QStringView b);

} // namespace textrules
