#pragma once

#include <QListView>

// The source list: a list view that takes files dropped from the file
// manager and hands their native names on, and refuses any other drop.
class SourceListView : public QListView
{
    Q_OBJECT

public:
    explicit SourceListView(QWidget *parent = nullptr);

    static constexpr int kLineHeight = 13;

signals:
    void filesDropped(const QStringList &nativeNames);

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
};
