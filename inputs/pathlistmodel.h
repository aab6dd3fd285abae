#pragma once

#include <QAbstractListModel>
#include <QStringList>

#include <vector>

// The lines of the source list: paths one after another in one buffer,
// with where each ends, so that a list of a million lines costs its text
// and a number a line, and no allocation of its own per line.
class PathListModel : public QAbstractListModel
{
    Q_OBJECT

public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    QString path(int row) const;
    // The first `count` lines.
    QStringList paths(int count) const;
    void replace(const QStringList &paths);
    void append(const QStringList &paths);
    void removeLine(int row);

private:
    qsizetype start(int row) const { return row == 0 ? 0 : m_ends[size_t(row - 1)]; }
    void take(const QStringList &paths);

    QString m_text;
    std::vector<qsizetype> m_ends;
};
