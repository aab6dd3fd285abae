#pragma once

#include "core/job/jobpath.h"
#include "core/job/saveoutcome.h"

#include <QString>
#include <QStringList>

#include <functional>

class QIODevice;

// tessiva-batch: the save of the window, driven from a script. The job,
// its checks, texts and bytes, and the save itself all come from core/;
// this reads the command line, says what went wrong and picks the exit
// status.
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
    UnusableText = 7,
    NameClash = 8,
    NotBat = 9,
    CannotSave = 10,
    OutsideTree = 11,
    UnfitSource = 12,
    ExitCodeCount // how many there are: no status
};
int exitCodeFor(SaveResult result);
// Every exit status, in the order --help lists them.
QList<int> exitCodes();

// Writes the tool's words (never the batch file's bytes) to standard output
// or standard error, as the system wants text there.
using TextWriter = std::function<void(QIODevice &device, const QString &text)>;

// What the tool takes from the system it runs on.
struct Environment
{
    TextWriter writeText; // empty: UTF-8
    QString windowExecutable; // the window's executable; its settings file gives the defaults
    QString userSettingsFolder; // the window's per-user settings folder
    QString workingFolder; // relative paths are taken against it
    jobpath::Style pathStyle = jobpath::hostStyle();
    // Whether the tool expands "*" and "?" in its source arguments: on
    // Windows, whose shell hands them on as they are.
    bool expandWildcards = jobpath::hostStyle() == jobpath::Style::Windows;
    int columns = 80; // of the console the help is laid out for
};

// Runs the tool. `arguments` starts with the program's path. Standard
// input is read only for "--list -".
int run(const QStringList &arguments, const Environment &env, QIODevice &in, QIODevice &out, QIODevice &err);

// The text of --help, for a console of `columns` columns.
QString helpText(int columns = 80);

} // namespace batchtool
