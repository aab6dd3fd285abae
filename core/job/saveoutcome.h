#pragma once

#include "core/base/result.h"
#include "core/files/writeerror.h"

#include <QString>

// Every way a save can end but a cancel of its dialog, which reports
// nothing: written, or refused at one of its steps in the order they are
// taken.
enum class SaveResult {
    Saved, // the batch file was written
    BadPrecision, // a precision the converter does not take (0 to 18 only)
    NoSource, // the source list is empty
    NoDestination, // destination folder blank
    NoAutocadFolder, // AutoCAD folder blank
    NotDxf, // a source whose extension is not .DXF
    OutsideTree, // a source that does not lie under the tree's root
    SameFolder, // a source in a folder that drawings are converted into
    UnusableText, // a text the batch file cannot carry (code page 932, control characters, ")
    TooLong, // a path longer than the converter takes
    NameClash, // two names that are one to Windows: two sources onto one drawing, folders of two
    // cases under Z:, a folder made under the name of a file the batch file writes
    UnfitSource, // a source its conversion cannot take (no file, no drawing, a DWG), or of another version
    NotBat, // the chosen name does not end in .BAT
    UnusableTarget, // a batch file of several converters at once, in a folder whose name holds a %
    CannotSave, // the file could not be written
};

// The outcome of one step of the save, and of the whole save: what the
// status line says, which source line it is about, and why a write failed.
struct SaveOutcome
{
    SaveResult result = SaveResult::Saved;
    QString statusText; // the status line's whole text
    int line = -1; // the source line to select, or -1
    int otherLine = -1; // the earlier source it clashes with, or -1
    WriteError reason; // why the write failed, with CannotSave
    QString path; // the batch file's path, once chosen

    // An outcome with its status text and, where it is about one, its line.
    static SaveOutcome of(SaveResult result, const QString &statusText, int line = -1)
    {
        SaveOutcome outcome;
        outcome.result = result;
        outcome.statusText = statusText;
        outcome.line = line;
        return outcome;
    }
};

// A check's answer: the job passes it, or the outcome that ends the save.
using Checked = Result<SaveOutcome>;
