#pragma once

// What every batch file holds, whatever its form, read as cmd.exe reads
// it (batchwords.h): every line reads; every path it names is one of the
// job's, whole; every drawing is converted and shown by its own name,
// into a folder that is there or that the run made before;
// every GOTO has exactly one label to go to, ahead of it; every work file
// is made before it is removed; and where the run counts, the counts add
// up to the number of drawings on every way through it. The bytes of the
// worked jobs are held by the stored files (tests/data/batch).
#include "batchbytes.h"
#include "batchwords.h"
#include "core/job/conversionjob.h"
#include "core/job/jobpath.h"
#include "core/text/textrules.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QStringList>

namespace batchwords {

// The names of a job's drawings, worked out here from the paths alone, so
// that a fault in the program's own naming shows as a difference.
struct DrawingNames
{
    QString below; // the folder below the tree's root, ending in "\\", or empty
    QString base; // the name cut before the first occurrence of its extension
};

inline DrawingNames drawingNames(const ConversionJob &job, const QString &source)
{
    qsizetype nameStart = source.size();
    while (nameStart > 0 && source.at(nameStart - 1) != u'\\' && source.at(nameStart - 1) != u':')
        --nameStart;
    const QString name = source.mid(nameStart);
    const qsizetype dot = name.lastIndexOf(u'.');
    const QString base = dot < 0 ? name : name.left(name.indexOf(name.mid(dot)));
    const QString below
        = job.treeRoot.isEmpty() ? QString() : source.mid(job.treeRoot.size(), nameStart - job.treeRoot.size());
    return {below, base};
}

// Where drawing `i` goes.
inline QString destinationOf(const ConversionJob &job, qsizetype i)
{
    const DrawingNames names = drawingNames(job, job.sources.at(i));
    return job.destinationFolder + names.below + names.base + QStringLiteral(".DXF");
}

// "dummy.dxf" in the destination folder, or "dummy1.dxf" … where a drawing
// goes there under that name.
inline QString intermediateName(const ConversionJob &job)
{
    QSet<QString> taken;
    for (const QString &source : job.sources) {
        const DrawingNames d = drawingNames(job, source);
        if (d.below.isEmpty())
            taken.insert(textrules::windowsFolded(d.base));
    }
    for (int n = 0;; ++n) {
        const QString base = n == 0 ? QStringLiteral("dummy") : QStringLiteral("dummy%1").arg(n);
        if (!taken.contains(textrules::windowsFolded(base)))
            return base + QStringLiteral(".dxf");
    }
}

// A path without the backslashes that end a folder, so that "D:\\OUT\\",
// "D:\\OUT\\*" and the folder made as "D:\\OUT" are one.
inline QString folderless(QString p)
{
    while (p.size() > 1 && p.endsWith(u'\\'))
        p.chop(1);
    return p;
}

// Every path of this system's own a batch file of `job` may name, upper-
// cased as the file writes them, folders without their last backslash.
inline QSet<QString> pathsOf(const ConversionJob &job)
{
    QSet<QString> paths;
    const auto add = [&paths](const QString &p) { paths.insert(folderless(textrules::upperCased(p))); };
    for (const QString &name : {QStringLiteral("DXFIX.EXE"), job.r13ToR12Parameter, job.r12ToGx3Parameter})
        add(job.autocadFolder + name);
    add(job.destinationFolder);
    add(job.destinationFolder + intermediateName(job));
    const QString work = job.destinationFolder + QStringLiteral("~TESSIVA~");
    add(work);
    for (const char16_t *file : {u"RUN.LCK", u"DUMMY.DXF", u"DRAWING.DXF", u"FAILED.TXT"})
        add(work + u'\\' + QString::fromUtf16(file));
    for (qsizetype i = 0; i < job.sources.size(); ++i) {
        add(job.sources.at(i));
        add(destinationOf(job, i));
        QString below = drawingNames(job, job.sources.at(i)).below;
        for (; !below.isEmpty(); below = below.chopped(1).section(u'\\', 0, -2, QString::SectionIncludeTrailingSep))
            add(job.destinationFolder + below);
    }
    return paths;
}

// A word as a path: quotes removed, a "*" after a backslash and the
// backslashes that end it taken off; empty where it does not read as one
// word.
inline QString pathRead(const QString &written)
{
    QString p = wordRead(written).value_or(QString());
    if (p.size() > 2 && p.endsWith(QStringLiteral("\\*")))
        p.chop(2);
    return folderless(p);
}

// Whether a word names a path of this system's own: a drive's or a
// share's, not one relative to the work folder.
inline bool isWhole(const QString &p) { return p.startsWith(QStringLiteral("\\\\")) || p.indexOf(u':') == 1; }

// A flattened batch file: its commands in order, each with its line, and
// where each label is.
struct Program
{
    QList<Command> commands;
    QList<int> lineOf;
    QHash<QString, int> labels; // name → the index of the command after it
    QString why;
};

inline Program programOf(const QStringList &lines)
{
    Program program;
    for (int i = 0; i < lines.size() && program.why.isEmpty(); ++i) {
        // A ^ at the end of a line joins the next one to it.
        QString line = lines.at(i);
        const auto carets = [](const QString &l) {
            qsizetype n = 0;
            while (n < l.size() && l.at(l.size() - 1 - n) == u'^')
                ++n;
            return n;
        };
        while (carets(line) % 2 == 1 && i + 1 < lines.size())
            line = line.chopped(1) + lines.at(++i);
        const LineRead read = readLine(line);
        if (!read.why.isEmpty())
            program.why = QStringLiteral("line %1: %2 (%3)").arg(i + 1).arg(read.why, line);
        if (!read.label.isEmpty()) {
            if (program.labels.contains(read.label))
                program.why = QStringLiteral("line %1: the label %2 twice").arg(i + 1).arg(read.label);
            program.labels.insert(read.label, int(program.commands.size()));
        }
        for (const Command &command : read.commands) {
            program.commands << command;
            program.lineOf << i;
        }
    }
    return program;
}

// The counter a command adds one to, or an empty text.
inline QString counterOf(const Command &command)
{
    static const QRegularExpression counter(QStringLiteral("^/A (TESSIVA_[A-Z_]+)\\+=1$"));
    const QRegularExpressionMatch m = counter.match(command.rest);
    return command.verb == u"SET" && m.hasMatch() ? m.captured(1) : QString();
}

// Whether a command sets the line of counts the run ends with.
inline bool setsTheCounts(const Command &c)
{
    return c.verb == u"SET" && c.rest.startsWith(QStringLiteral("\"TESSIVA_COUNTS="));
}

// The counters the line of counts shows.
inline QSet<QString> countersShown(const Program &program)
{
    QSet<QString> counters;
    static const QRegularExpression shown(QString(kVariableOpen) + QStringLiteral("%(TESSIVA_[A-Z_]+)%")
                                          + kVariableClose);
    for (const Command &c : program.commands) {
        for (auto m = shown.globalMatch(setsTheCounts(c) ? c.rest : QString()); m.hasNext();)
            counters << m.next().captured(1);
    }
    return counters;
}

// Every way from the command after `from` to the line that sets the
// counts, each a conditional command taken and not; how many counters
// each way added to.
inline QSet<int> countsOnEveryWay(const Program &program, const QString &from, int most)
{
    const QSet<QString> counters = countersShown(program);
    QSet<int> counts;
    QSet<QPair<int, int>> seen;
    QList<QPair<int, int>> ways{{program.labels.value(from, -1), 0}};
    while (!ways.isEmpty()) {
        auto [at, count] = ways.takeLast();
        if (at < 0 || at >= program.commands.size() || seen.contains({at, count}))
            continue;
        seen.insert({at, count});
        const Command &c = program.commands.at(at);
        if (setsTheCounts(c)) {
            counts.insert(count);
            continue;
        }
        if (c.conditional) {
            // Not taken: past the commands its condition holds, to the end
            // of its line or of its group.
            int past = at + 1;
            while (past < program.commands.size() && program.lineOf.at(past) == program.lineOf.at(at)
                   && program.commands.at(past).group == c.group && c.group == -1)
                ++past;
            ways << QPair<int, int>{past, count};
        }
        if (counters.contains(counterOf(c)))
            count = qMin(count + 1, most + 1);
        if (c.verb == u"EXIT" || (c.verb == u"GOTO" && c.words.value(0).compare(u":EOF", Qt::CaseInsensitive) == 0))
            continue;
        if (c.verb == u"GOTO")
            ways << QPair<int, int>{program.labels.value(c.words.value(0).toUpper(), -1), count};
        else
            ways << QPair<int, int>{at + 1, count};
    }
    return counts;
}

// cmd.exe's own commands: any other name is a program found on the
// caller's PATH.
inline const QSet<QString> kOwnCommands{QStringLiteral("SETLOCAL"), QStringLiteral("SET"),   QStringLiteral("GOTO"),
                                        QStringLiteral("CALL"),     QStringLiteral("EXIT"),  QStringLiteral("ECHO"),
                                        QStringLiteral("TITLE"),    QStringLiteral("MD"),    QStringLiteral("RD"),
                                        QStringLiteral("DEL"),      QStringLiteral("MOVE"),  QStringLiteral("COPY"),
                                        QStringLiteral("TYPE"),     QStringLiteral("PUSHD"), QStringLiteral("POPD"),
                                        QStringLiteral("CD"),       QStringLiteral("START")};

// Whether a program's path is the system's own folder's, as the run
// finds it from SystemRoot.
inline bool inTheSystemFolder(const QString &written)
{
    return pathRead(written).startsWith(kVariableOpen + QStringLiteral("%TESSIVA_SYSTEM%") + kVariableClose + u'\\');
}

// Why command `k` runs what the run did not name or make, or goes to a
// label that is not there once, or behind it (but for the run's own
// loops); or an empty text.
inline QString whyItRuns(const Program &program, int k, const QHash<QString, int> &made, const QString &converter)
{
    const Command &c = program.commands.at(k);
    const auto madeHere = [&made](const QString &written) {
        QString p = pathRead(written);
        if (p.startsWith(QStringLiteral(".\\")))
            p.remove(0, 2);
        return made.contains(textrules::windowsFolded(p));
    };
    if (pathRead(c.verb) == converter || inTheSystemFolder(c.verb))
        return QString();
    if (!kOwnCommands.contains(c.verb))
        return QStringLiteral("%1 is found on the caller's PATH").arg(c.verb);
    if (c.verb == u"START") {
        // START "" /B PROGRAM /D /C FILE ...
        QStringList words = c.words;
        while (!words.isEmpty() && (words.constFirst() == u"\"\"" || words.constFirst().startsWith(u'/')))
            words.removeFirst();
        const qsizetype run = words.indexOf(QStringLiteral("/C"));
        if (words.isEmpty() || !inTheSystemFolder(words.constFirst()) || run < 0 || !madeHere(words.value(run + 1)))
            return QStringLiteral("START runs what the run did not make: %1").arg(c.words.join(u' '));
    }
    if (c.verb == u"CALL" && !c.words.isEmpty() && !c.words.constFirst().startsWith(u':')
        && !madeHere(c.words.constFirst()))
        return QStringLiteral("CALL runs what the run did not make: %1").arg(c.words.constFirst());
    if (c.verb == u"GOTO" || (c.verb == u"CALL" && c.words.value(0).startsWith(u':'))) {
        QString label = c.words.value(0).toUpper();
        if (label == u":EOF")
            return QString();
        if (label.startsWith(u':'))
            label.remove(0, 1);
        if (!program.labels.contains(label))
            return QStringLiteral("no label %1").arg(label);
        if (c.verb == u"GOTO" && !label.startsWith(QStringLiteral("TESSIVA_")) && program.labels.value(label) <= k)
            return QStringLiteral("the label %1 is behind its GOTO").arg(label);
    }
    return QString();
}

// The commands whose words, but for their switches, are paths.
inline const QStringList kPathVerbs{QStringLiteral("MD"),    QStringLiteral("RD"),   QStringLiteral("DEL"),
                                    QStringLiteral("MOVE"),  QStringLiteral("COPY"), QStringLiteral("TYPE"),
                                    QStringLiteral("PUSHD"), QStringLiteral("CD")};

// Why the batch file of `job` does not hold what every batch file holds,
// or an empty text.
inline QString whyNot(const ConversionJob &job, const QStringList &lines)
{
    const Program program = programOf(lines);
    if (!program.why.isEmpty())
        return program.why;
    const QSet<QString> known = pathsOf(job);
    const QString converterPath = textrules::upperCased(job.autocadFolder + QStringLiteral("DXFIX.EXE"));
    QSet<QString> converted, placed, shown;
    QHash<QString, int> made;
    QStringList helper;
    // The folders a tree's drawings go into, the destination among them:
    // the run makes each.
    QSet<QString> treeFolders;
    for (qsizetype i = 0; i < job.sources.size() && !job.treeRoot.isEmpty(); ++i) {
        const QString folder
            = folderless(textrules::upperCased(job.destinationFolder + drawingNames(job, job.sources.at(i)).below));
        if (!jobpath::isDriveRoot(QString(folder + u'\\')))
            treeFolders.insert(folder);
    }
    const auto at = [&](int k) { return QStringLiteral("line %1: ").arg(program.lineOf.at(k) + 1); };
    for (int k = 0; k < program.commands.size(); ++k) {
        const Command &c = program.commands.at(k);
        const bool converter = pathRead(c.verb) == converterPath;
        // Every path of the job named whole.
        QStringList paths = c.looked + c.redirected;
        if (converter) {
            paths << c.verb;
            for (const QString &w : c.words)
                paths << (w.startsWith(QStringLiteral("-T"))       ? w.mid(2)
                              : w.startsWith(QStringLiteral("-A")) ? QString()
                                                                   : w);
        } else if (kPathVerbs.contains(c.verb)) {
            for (const QString &w : c.words)
                if (!w.startsWith(u'/'))
                    paths << w;
        }
        for (const QString &written : std::as_const(paths)) {
            if (written.isEmpty() || written.contains(kVariableOpen))
                continue;
            const QString p = pathRead(written);
            if (p.isEmpty())
                return at(k) + QStringLiteral("'%1' does not read as a path").arg(written);
            if (isWhole(p) && !known.contains(p))
                return at(k) + QStringLiteral("'%1' is none of the job's paths").arg(p);
        }
        // What the run makes and removes.
        const auto made_ = [&](const QString &written) { made.insert(textrules::windowsFolded(pathRead(written)), k); };
        const auto removed = [&](const QString &written) -> QString {
            if (c.conditional || written.isEmpty() || made.contains(textrules::windowsFolded(pathRead(written))))
                return QString();
            return at(k) + QStringLiteral("%1 removed before it was made").arg(written);
        };
        // A drawing of a tree is put into its folder only once the run
        // made it.
        const auto place = [&](const QString &written) -> QString {
            const QString p = pathRead(written);
            placed.insert(p);
            const QString folder = folderless(p.left(p.lastIndexOf(u'\\') + 1));
            if (!folder.isEmpty() && treeFolders.contains(folder) && !made.contains(textrules::windowsFolded(folder)))
                return at(k) + QStringLiteral("%1 is put into %2 before the run made it").arg(p, folder);
            return QString();
        };
        for (const QString &r : c.redirected)
            made_(r);
        if (converter && !c.words.isEmpty()) {
            converted.insert(pathRead(c.words.value(c.words.size() - 2)));
            if (const QString why = place(c.words.last()); !why.isEmpty())
                return why;
            made_(c.words.last());
        }
        const QStringList args = [&] {
            QStringList a;
            for (const QString &w : c.words)
                if (!w.startsWith(u'/'))
                    a << w;
            return a;
        }();
        if (c.verb == u"DEL" || c.verb == u"RD") {
            if (const QString why = removed(args.value(0)); !why.isEmpty())
                return why;
        }
        if (c.verb == u"MOVE" && args.size() == 2) {
            if (const QString why = removed(args.at(0)); !why.isEmpty())
                return why;
            if (const QString why = place(args.at(1)); !why.isEmpty())
                return why;
            made_(args.at(1));
        }
        if (c.verb == u"MD" || c.verb == u"COPY")
            made_(args.value(args.size() - 1));
        // What ECHO shows, and what a message set here shows later.
        QString text;
        if (c.verb == u"ECHO" || c.verb == u"TITLE")
            text = c.rest;
        else if (c.verb == u"SET" && c.rest.startsWith(u'"') && c.rest.endsWith(u'"'))
            text = c.rest.mid(c.rest.indexOf(u'=') + 1).chopped(1);
        if (!text.isEmpty()) {
            const std::optional<QString> s = shownText(text);
            if (!s)
                return at(k) + QStringLiteral("'%1' does not show as it is").arg(text);
            shown.insert(*s);
        }
        if (const QString why = whyItRuns(program, k, made, converterPath); !why.isEmpty())
            return at(k) + why;
        if (c.verb == u"ECHO" && c.redirected.size() == 1
            && c.redirected.constFirst().compare(u"WAIT.BAT", Qt::CaseInsensitive) == 0)
            helper << shownText(c.rest).value_or(QStringLiteral("?"));
    }
    // The helper the run writes and calls runs only its own as well.
    const Program helperProgram = programOf(helper);
    for (int k = 0; k < helperProgram.commands.size(); ++k) {
        if (const QString why = whyItRuns(helperProgram, k, made, converterPath); !why.isEmpty())
            return QStringLiteral("WAIT.BAT, line %1: %2").arg(helperProgram.lineOf.at(k) + 1).arg(why);
    }

    // Every drawing converted into its own place, and shown by its name.
    const bool checked = usesTemporaryNames(job);
    const bool reported = reportsRun(job);
    for (qsizetype i = 0; i < job.sources.size(); ++i) {
        const QString source = textrules::upperCased(job.sources.at(i));
        const QString destination = textrules::upperCased(destinationOf(job, i));
        if (!converted.contains(source))
            return QStringLiteral("%1 is never converted").arg(job.sources.at(i));
        if (!placed.contains(destination))
            return QStringLiteral("nothing is put at %1").arg(destination);
        const auto endsWith = [&shown](const QString &end) {
            return std::any_of(shown.cbegin(), shown.cend(), [&end](const QString &s) { return s.endsWith(end); });
        };
        if (checked && !endsWith(u' ' + destination))
            return QStringLiteral("no message names %1").arg(destination);
        if (reported && !endsWith(u' ' + job.sources.at(i)))
            return QStringLiteral("no line of the report names %1").arg(job.sources.at(i));
    }

    // Where the run counts, every way through it counts each drawing once.
    if (reported) {
        const QSet<int> counts = countsOnEveryWay(program, QStringLiteral("TESSIVA_HOLD"), int(job.sources.size()));
        if (counts != QSet<int>{int(job.sources.size())}) {
            QStringList seen;
            for (int n : counts)
                seen << QString::number(n);
            return QStringLiteral("the counts add up to {%1}, not %2")
                .arg(seen.join(u','), QString::number(job.sources.size()));
        }
    }
    return QString();
}

// Whether the batch file of `job` holds what every batch file holds; why
// not is said as a warning.
inline bool readsAsMeant(const ConversionJob &job)
{
    const QString why = whyNot(job, composeBatchLines(job));
    if (!why.isEmpty())
        qWarning("%s [%s | %s | %s]", qPrintable(why), qPrintable(job.destinationFolder), qPrintable(job.treeRoot),
                 qPrintable(job.sources.join(u'|')));
    return why.isEmpty();
}

} // namespace batchwords
