#pragma once

#include "conversionjob.h"

// The checks the save button makes before it asks where to save, as one
// function of the job: the first failure wins, in this order.
enum class JobProblem {
    None,
    NoSource,             // the source list is empty
    NoDestination,        // destination folder blank
    NoAutocadFolder,      // AutoCAD folder blank
    NotDxf,               // a source whose extension is not .DXF
    SameFolder,           // a source in the destination folder itself
    Unencodable,          // a text the batch file cannot carry (code page 932, control characters, ")
    DuplicateDestination, // two sources would be written to one drawing
};

struct JobCheck
{
    JobProblem problem = JobProblem::None;
    int line = -1;      // the source line to select, or -1
    QString statusText; // the status line text, empty when the job passes
    bool ok() const { return problem == JobProblem::None; }
};

JobCheck checkJob(const ConversionJob &job);

// The checks and texts after the save dialog. `chosenPath` is the native
// path the dialog returned.
namespace savetarget {
bool isBatPath(const QString &chosenPath);
QString folderOf(const QString &chosenPath);
QString notBatText(const QString &chosenPath);
QString cannotSaveText(const QString &chosenPath);
QString savedText(const QString &chosenPath);
} // namespace savetarget
