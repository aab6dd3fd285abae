#include "wildcards.h"

#include <QDir>

namespace wildcards {

std::optional<QStringList> expanded(const QStringList &arguments, QString *unmatched)
{
    QStringList out;
    out.reserve(arguments.size());
    for (const QString &argument : arguments) {
        const qsizetype nameStart = qMax(argument.lastIndexOf(u'\\'), argument.lastIndexOf(u'/')) + 1;
        const QString name = argument.mid(nameStart);
        if (!name.contains(u'*') && !name.contains(u'?')) {
            out << argument;
            continue;
        }
        const QString folder = argument.left(nameStart);
        const QStringList names
            = QDir(folder.isEmpty() ? QStringLiteral(".") : folder)
                  .entryList({name}, QDir::Files | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
        if (names.isEmpty()) {
            *unmatched = argument;
            return std::nullopt;
        }
        for (const QString &match : names)
            out << folder + match;
    }
    return out;
}

} // namespace wildcards
