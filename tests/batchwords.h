#pragma once

// The batch file of a job as cmd.exe reads it: the words of every line,
// and the words each line should have, worked out one line at a time from
// the job alone. The fuzzer and the composer's tests hold the composer's
// lines against it.
#include "core/conversionjob.h"
#include "core/textrules.h"

#include <QList>
#include <QSet>
#include <QStringList>

#include <optional>

namespace batchwords {

// Splits a line the way cmd.exe does: blanks outside quotes separate words,
// quotes are removed, %% is one %. Nothing when cmd.exe would read some of
// it as an operator, a variable or the end of the command.
inline std::optional<QStringList> cmdWords(const QString &line)
{
    QStringList words;
    QString word;
    bool quoted = false;
    bool inWord = false;
    for (qsizetype i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (c == u'"') {
            quoted = !quoted;
            inWord = true;
            continue;
        }
        if (c == u'%') {
            if (i + 1 >= line.size() || line.at(i + 1) != u'%')
                return std::nullopt;
            word += u'%';
            ++i;
            inWord = true;
            continue;
        }
        if (!quoted && c == u' ') {
            if (inWord)
                words << word;
            word.clear();
            inWord = false;
            continue;
        }
        if ((!quoted && QStringLiteral("&|<>^(),;=").contains(c)) || c.unicode() < 0x20)
            return std::nullopt;
        word += c;
        inWord = true;
    }
    if (quoted)
        return std::nullopt;
    if (inWord)
        words << word;
    return words;
}

// The text ECHO or TITLE shows for the rest of a line, as cmd.exe reads it:
// ^ takes the next character as it is, %% is one %. Nothing when cmd.exe
// would take some of it as an operator or a variable.
inline std::optional<QString> echoedText(QStringView rest)
{
    QString shown;
    for (qsizetype i = 0; i < rest.size(); ++i) {
        const QChar c = rest.at(i);
        if (c == u'^') {
            if (++i >= rest.size())
                return std::nullopt;
            shown += rest.at(i);
        } else if (c == u'%') {
            if (++i >= rest.size() || rest.at(i) != u'%')
                return std::nullopt;
            shown += u'%';
        } else if (QStringLiteral("&|<>").contains(c) || c.unicode() < 0x20) {
            return std::nullopt;
        } else {
            shown += c;
        }
    }
    return shown;
}

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

// "~TESSIVA~", or "~TESSIVA1~" … where a drawing would be made under a name
// that is another drawing's own.
inline QString partialPrefix(const ConversionJob &job)
{
    QSet<QString> own;
    for (const QString &source : job.sources) {
        const DrawingNames d = drawingNames(job, source);
        own.insert(textrules::windowsFolded(QString(d.below + d.base)));
    }
    for (int n = 0;; ++n) {
        const QString prefix = n == 0 ? QStringLiteral("~TESSIVA~") : QStringLiteral("~TESSIVA%1~").arg(n);
        bool taken = false;
        for (const QString &source : job.sources) {
            const DrawingNames d = drawingNames(job, source);
            taken = taken || own.contains(textrules::windowsFolded(QString(d.below + prefix + d.base)));
        }
        if (!taken)
            return prefix;
    }
}

// The words of every line of the batch file of `job`, in order.
inline QList<QStringList> expectedWords(const ConversionJob &job)
{
    using textrules::upperCased;
    const QString acad = upperCased(job.autocadFolder);
    const QString option = job.outputFormat == OutputFormat::Ascii
        ? QStringLiteral("-A") + textrules::trimmed(job.precision)
        : QString();
    const auto command = [&](const QString &parameter, const QString &in, const QString &out) {
        QStringList words{acad + QStringLiteral("DXFIX.EXE")};
        if (!option.isEmpty())
            words << option;
        words << QStringLiteral("-T") + acad + upperCased(parameter) << upperCased(in) << upperCased(out);
        return words;
    };

    QList<QStringList> expected;
    QSet<QString> made;
    const QString intermediate = job.destinationFolder + intermediateName(job);
    const QString prefix = partialPrefix(job);
    const int width = int(QString::number(job.sources.size()).size());
    const auto ifExists = [](const QString &path, const QStringList &then) {
        return QStringList{QStringLiteral("IF"), QStringLiteral("EXIST"), upperCased(path)} + then;
    };
    const auto del = [](const QString &path) { return QStringList{QStringLiteral("DEL"), upperCased(path)}; };
    const auto makeFolder = [&](const QString &below) {
        if (made.contains(textrules::windowsFolded(below)))
            return;
        made.insert(textrules::windowsFolded(below));
        const QString folder = upperCased(job.destinationFolder + below);
        const QString created = folder.endsWith(u'\\') ? folder.chopped(1) : folder;
        if (!created.isEmpty() && !created.endsWith(u':'))
            expected << QStringList{QStringLiteral("IF"),    QStringLiteral("NOT"),
                                    QStringLiteral("EXIST"), folder,
                                    QStringLiteral("MD"),    created};
    };
    if (!job.treeRoot.isEmpty())
        makeFolder(QString());
    for (int i = 0; i < job.sources.size(); ++i) {
        const QString &source = job.sources.at(i);
        const DrawingNames names = drawingNames(job, source);
        const QString &below = names.below;
        const QString destination = job.destinationFolder + below + names.base + QStringLiteral(".DXF");
        const QString partial = job.destinationFolder + below + prefix + names.base + QStringLiteral(".DXF");
        if (!below.isEmpty())
            makeFolder(below);
        const QString out = job.skipExisting ? partial : destination;
        const QString label = QStringLiteral("DONE%1").arg(i + 1, width, 10, QLatin1Char('0'));
        const auto pass = [&](const QString &parameter, const QString &in, const QString &to) {
            expected << command(parameter, in, to);
            if (job.checkExitStatus)
                expected << QStringList{QStringLiteral("IF"), QStringLiteral("ERRORLEVEL"), QStringLiteral("1")}
                        + del(to);
            if (job.skipExisting)
                expected << QStringList{QStringLiteral("IF"), QStringLiteral("NOT"), QStringLiteral("ERRORLEVEL"),
                                        QStringLiteral("0")}
                        + del(to);
        };
        if (job.skipExisting)
            expected << ifExists(destination, {QStringLiteral("GOTO"), label}) << ifExists(partial, del(partial));
        switch (job.kind) {
        case BatchKind::R13ToR12: pass(job.r13ToR12Parameter, source, out); break;
        case BatchKind::R12ToGX3: pass(job.r12ToGx3Parameter, source, out); break;
        case BatchKind::R13ToGX3:
            if (job.skipExisting)
                expected << ifExists(intermediate, del(intermediate));
            pass(job.r13ToR12Parameter, source, intermediate);
            pass(job.r12ToGx3Parameter, intermediate, out);
            expected << del(intermediate);
            break;
        }
        if (job.skipExisting)
            expected << ifExists(
                partial,
                QStringList{QStringLiteral("MOVE"), QStringLiteral("/Y"), upperCased(partial), upperCased(destination)})
                     << QStringList{QStringLiteral(":") + label};
    }
    return expected;
}

} // namespace batchwords
