#pragma once

#include "core/savecheck.h"
#include "core/textrules.h"

#include <QStringList>

class QIODevice;

// The batch file tool: the same job, checks, texts and bytes as the save
// button of the window, taken from command-line arguments.
namespace batchtool {

// Exit status for each outcome.
enum ExitCode {
    Success = 0,
    UsageError = 1,
    NoSource = 2,
    NoDestination = 3,
    NoAutocadFolder = 4,
    NotDxf = 5,
    SameFolder = 6,
    Unencodable = 7,
    DuplicateDestination = 8,
    NotBat = 9,
    CannotSave = 10,
};
int exitCodeFor(JobProblem problem);

struct Environment
{
    QStringList settingsReadOrder;       // where the window's settings file is looked for
    textrules::PathStyle pathStyle = textrules::PathStyle::Unix;
};

// Runs the tool. `arguments` starts with the program name. Standard input
// is read only for "--list -".
int run(const QStringList &arguments, const Environment &env, QIODevice &in, QIODevice &out,
        QIODevice &err);

} // namespace batchtool
