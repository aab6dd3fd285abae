#include "pathlistmodel.h"

int PathListModel::rowCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : int(m_ends.size()); }

QVariant PathListModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return path(index.row());
}

QString PathListModel::path(int row) const { return m_text.mid(start(row), m_ends[size_t(row)] - start(row)); }

QStringList PathListModel::paths(int count) const
{
    QStringList out;
    out.reserve(qMin(count, rowCount()));
    for (int row = 0; row < count && row < rowCount(); ++row)
        out << path(row);
    return out;
}

// The paths after the lines there are, in room of just their size: a
// buffer that grew by doubling could hold twice its text.
void PathListModel::take(const QStringList &paths)
{
    qsizetype added = 0;
    for (const QString &path : paths)
        added += path.size();
    QString text;
    text.reserve(m_text.size() + added);
    text += m_text;
    std::vector<qsizetype> ends;
    ends.reserve(m_ends.size() + size_t(paths.size()));
    ends = m_ends;
    for (const QString &path : paths) {
        text += path;
        ends.push_back(text.size());
    }
    m_text = std::move(text);
    m_ends = std::move(ends);
}

void PathListModel::replace(const QStringList &paths)
{
    beginResetModel();
    m_text.clear();
    m_text.squeeze();
    m_ends.clear();
    m_ends.shrink_to_fit();
    take(paths);
    endResetModel();
}

void PathListModel::append(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    beginInsertRows({}, rowCount(), rowCount() + int(paths.size()) - 1);
    take(paths);
    endInsertRows();
}

void PathListModel::removeLine(int row)
{
    if (row < 0 || row >= rowCount())
        return;
    beginRemoveRows({}, row, row);
    const qsizetype from = start(row);
    const qsizetype length = m_ends[size_t(row)] - from;
    m_text.remove(from, length);
    m_ends.erase(m_ends.begin() + row);
    for (size_t i = size_t(row); i < m_ends.size(); ++i)
        m_ends[i] -= length;
    endRemoveRows();
}
