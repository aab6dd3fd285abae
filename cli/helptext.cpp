#include "batchtool.h"

#include "cli/consolewrap.h"
#include "core/job/jobpath.h"
#include "exitstatus.h"
#include "tooloptions.h"
#include "toolwords.h"

namespace batchtool {

namespace {
// How --help is laid out: for a console of at least this many columns (a
// narrower one gets the layout of this width), and one column short of its
// edge, as a line that fills the last column makes the console break it.
constexpr int kNarrowestConsole = 40;
// The blanks before an option's head, and between a head and its text.
constexpr int kHeadIndent = 2;
constexpr int kHeadGap = 2;
// A text beside its head gets at least this many columns; where the heads
// leave less, each head stands on a line of its own, its text below it,
// indented this far.
constexpr int kNarrowestText = 20;
constexpr int kTextBelowIndent = 8;

// One entry of --help: an option's names, an argument or an exit status,
// and what it says of it.
struct HelpEntry
{
    QString head;
    QString text;
};

// The column every text of `entries` starts at: past the widest head (its
// real width, a Japanese character counting two), or, where the console is
// too narrow for that, below each head (a negative column).
int textColumn(const QList<HelpEntry> &entries, int width)
{
    int headColumns = 0;
    for (const HelpEntry &entry : entries)
        headColumns = qMax(headColumns, consolewrap::columns(entry.head));
    const int column = headColumns + kHeadGap;
    return width - column < kNarrowestText ? -kTextBelowIndent : column;
}

// The entries as a table, their texts from `column` on.
QString entryTable(const QList<HelpEntry> &entries, int width, int column)
{
    const int indent = qAbs(column);
    QString out;
    for (const HelpEntry &entry : entries) {
        out += entry.head;
        if (column < 0)
            out += u'\n' + QString(indent, u' ');
        else
            out += QString(column - consolewrap::columns(entry.head), u' ');
        out += consolewrap::wrapped(consolewrap::joined(entry.text), width, indent, indent) + u'\n';
    }
    return out;
}

// An option as --help names it: "-k, --kind <kind>".
QString optionHead(const QCommandLineOption &option)
{
    QStringList names;
    for (const QString &name : option.names())
        names << (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
    QString head = QString(kHeadIndent, u' ') + names.join(QStringLiteral(", "));
    if (!option.valueName().isEmpty())
        head += QStringLiteral(" <%1>").arg(option.valueName());
    return head;
}
} // namespace

QString helpText(int columns)
{
    const int width = qMax(kNarrowestConsole, columns) - 1;
    const Options o;
    // The usage line breaks only between its words.
    QString text = TessivaBatch::tr("Usage: ").trimmed();
    int used = consolewrap::columns(text);
    for (const QString &word : {kProgram, TessivaBatch::tr("[options]"), TessivaBatch::tr("[source...]")}) {
        if (used + 1 + consolewrap::columns(word) > width) {
            text += u'\n' + QString(kTextBelowIndent, u' ') + word;
            used = kTextBelowIndent + consolewrap::columns(word);
        } else {
            text += u' ' + word;
            used += 1 + consolewrap::columns(word);
        }
    }
    text += u'\n' + consolewrap::wrapped(consolewrap::joined(description()), width, 0, 0) + u'\n';

    // The options and the argument, their texts in one column.
    QList<HelpEntry> options;
    for (const QCommandLineOption *option : o.all())
        options.append({optionHead(*option), option->description()});
    const QList<HelpEntry> arguments{
        {QString(kHeadIndent, u' ') + TessivaBatch::tr("sources"), TessivaBatch::tr("Source DXF files.")}};
    const int column = textColumn(options + arguments, width);
    text += u'\n' + TessivaBatch::tr("Options:") + u'\n' + entryTable(options, width, column) + u'\n'
        + TessivaBatch::tr("Arguments:") + u'\n' + entryTable(arguments, width, column);

    // The exit statuses, each number in four columns.
    QList<HelpEntry> statuses;
    for (const ExitStatus &status : kExitStatuses) {
        // "%1" in a line is the longest path the converter takes.
        const char *help = status.helpOnWindows && jobpath::hostStyle() == jobpath::Style::Windows
            ? status.helpOnWindows
            : status.help;
        const QString says
            = TessivaBatch::tr(help).replace(QStringLiteral("%1"), QString::number(BatchLimits::kMaxPathBytes));
        statuses.append({QStringLiteral("%1").arg(int(status.code), 4), says});
    }
    text += u'\n' + TessivaBatch::tr("Exit status:") + u'\n' + entryTable(statuses, width, textColumn(statuses, width));
    return text;
}

} // namespace batchtool
