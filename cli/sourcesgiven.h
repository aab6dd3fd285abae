#pragma once

#include "cli/sourcelistfile.h"
#include "toolwords.h"

#include <QStringList>

#include <optional>
#include <vector>

class QCommandLineParser;
class QIODevice;
struct ConversionJob;

namespace batchtool {

struct Options;

// A list of sources and where it came from.
struct NamedList
{
    QString name; // "list.txt", "standard input"
    sourcelistfile::List list; // holds the texts of the list's lines
};

// The sources as given: the arguments, then the lines of each list.
struct Sources
{
    QStringList arguments;
    std::vector<NamedList> lists;

    qsizetype size() const
    {
        qsizetype n = arguments.size();
        for (const NamedList &l : lists)
            n += l.list.size();
        return n;
    }
    QString given(qsizetype i) const
    {
        if (i < arguments.size())
            return arguments.at(i);
        const auto [l, line] = locate(i);
        return l->list.text(line);
    }
    QString place(qsizetype i) const
    {
        if (i < arguments.size())
            return TessivaBatch::tr("source argument %1").arg(i + 1);
        const auto [l, line] = locate(i);
        return TessivaBatch::tr("%1, line %2").arg(l->name).arg(l->list.number(line));
    }

private:
    std::pair<const NamedList *, qsizetype> locate(qsizetype i) const
    {
        i -= arguments.size();
        for (const NamedList &l : lists) {
            if (i < l.list.size())
                return {&l, i};
            i -= l.list.size();
        }
        return {nullptr, -1};
    }
};

// The sources: the arguments, then the lines of each list in order, each
// made a path of the job.
Result<Usage> takeSources(const QCommandLineParser &parser, const Options &o, const Environment &env, QIODevice &in,
                          ConversionJob &job, Sources &sources);

} // namespace batchtool
