#pragma once

#include "batchtool.h"
#include "core/base/result.h"

#include <QCoreApplication>
#include <QString>

class QIODevice;

namespace batchtool {

// The tool's name, as it calls itself in what it says.
inline const QString kProgram = QStringLiteral("tessiva-batch");

// The tool's own words: in Japanese on a Japanese system, from the
// catalogue built into the program. The refusals are the window's texts
// and stay as they are.
struct TessivaBatch
{
    Q_DECLARE_TR_FUNCTIONS(TessivaBatch)
};

// A usage error: the message, and exit status 1. Each step that reads the
// command line answers Result<Usage>: it passes, or this is why not.
struct Usage
{
    QString message;
    int status = 1; // the exit status: a usage error, but for sources none of which are there
};

// A text for the terminal: a control character of a hostile name (an
// escape sequence, a carriage return, a NUL) or a format character (a
// right-to-left override that shows a name backwards) is shown escaped,
// never sent.
QString escaped(const QString &text);

// The words of the tool, as the system wants text on that device.
void write(const Environment &env, QIODevice &device, const QString &text);
// A line of them, escaped.
void say(const Environment &env, QIODevice &err, const QString &text);

} // namespace batchtool
