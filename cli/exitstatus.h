#pragma once

#include "batchtool.h"
#include "core/job/saveoutcome.h"

#include <QCoreApplication>

#include <initializer_list>

namespace batchtool {

// Each exit status, in the order of their numbers: what --help says of it,
// and the refusals of the save that end the tool with it (a precision is an
// option's value: a usage error, as any other).
struct ExitStatus
{
    ExitCode code;
    const char *help;
    std::initializer_list<SaveResult> results;
    const char *helpOnWindows = nullptr; // where the words differ there
};
inline constexpr ExitStatus kExitStatuses[] = {
    {Success, QT_TRANSLATE_NOOP("TessivaBatch", "the batch file was written"), {SaveResult::Saved}},
    {UsageError,
     QT_TRANSLATE_NOOP("TessivaBatch", "wrong arguments, a source list or settings file that cannot be read"),
     {SaveResult::BadPrecision}},
    {NoSource,
     QT_TRANSLATE_NOOP("TessivaBatch", "no source file given, or a wildcard that matches no file"),
     {SaveResult::NoSource}},
    {NoDestination, QT_TRANSLATE_NOOP("TessivaBatch", "no destination folder given"), {SaveResult::NoDestination}},
    {NoAutocadFolder, QT_TRANSLATE_NOOP("TessivaBatch", "no AutoCAD folder given"), {SaveResult::NoAutocadFolder}},
    {NotDxf, QT_TRANSLATE_NOOP("TessivaBatch", "a source is not a .DXF file"), {SaveResult::NotDxf}},
    {SameFolder,
     QT_TRANSLATE_NOOP("TessivaBatch", "a source lies in a folder that drawings are converted into"),
     {SaveResult::SameFolder}},
    {UnusableText,
     QT_TRANSLATE_NOOP("TessivaBatch",
                       "a text the batch file cannot carry: a character code page 932 cannot hold, a control character "
                       "(a line break, say) or one no Windows name holds (\" * ? < > |), a name Windows reads as "
                       "another (a part ending in a dot or a blank, a device such as CON or COM1, a \\ or : inside a "
                       "name, a name shaped like a short name such as PLANNI~1.DXF), or a path longer than the "
                       "converter takes (%1 bytes)"),
     {SaveResult::UnusableText, SaveResult::TooLong}},
    {NameClash,
     QT_TRANSLATE_NOOP(
         "TessivaBatch",
         "two sources would be converted onto one drawing, or two names would be one to Windows (folders, or a drawing "
         "and a folder, of two cases under Z:; a folder made where a file is written, deleted or moved, or where a "
         "checked run keeps its work folder)"),
     {SaveResult::NameClash},
     // Windows has no Z: of this system's own: its names have one case.
     QT_TRANSLATE_NOOP("TessivaBatch",
                       "two sources would be converted onto one drawing, or a folder made where a file is written, "
                       "deleted or moved, or where a checked run keeps its work folder")},
    {NotBat,
     QT_TRANSLATE_NOOP("TessivaBatch",
                       "the output path does not end in .BAT, or, with --jobs, its folder's name holds a %"),
     {SaveResult::NotBat, SaveResult::UnusableTarget}},
    {CannotSave,
     QT_TRANSLATE_NOOP("TessivaBatch", "the output file or standard output cannot be written"),
     {SaveResult::CannotSave}},
    {OutsideTree,
     QT_TRANSLATE_NOOP("TessivaBatch", "with --tree, a source that does not lie under the root"),
     {SaveResult::OutsideTree}},
    {UnfitSource,
     QT_TRANSLATE_NOOP("TessivaBatch",
                       "a source that is not there, cannot be read, is empty, is no drawing or is a DWG (each is "
                       "named; --no-drawing-check reads none)"),
     {SaveResult::UnfitSource}},
};
constexpr bool everyStatusInItsPlace()
{
    for (size_t i = 0; i < std::size(kExitStatuses); ++i) {
        if (size_t(kExitStatuses[i].code) != i)
            return false;
    }
    return std::size(kExitStatuses) == size_t(ExitCodeCount);
}
static_assert(everyStatusInItsPlace(), "one row for each exit status, in the order of their numbers");

} // namespace batchtool
