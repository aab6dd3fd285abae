#pragma once

#include <QListView>

// The source list as a list box behaves: it takes files dropped from the
// file manager and refuses any other drop, a double-click anywhere on it
// (the empty area below the last line too) is reported, and a click on the
// empty area leaves the selected line selected.
class SourceListView : public QListView
{
    Q_OBJECT

public:
    explicit SourceListView(QWidget *parent = nullptr);

    static constexpr int kLineHeight = 13;

signals:
    void filesDropped(const QStringList &nativeNames);
    void doubleClickedAnywhere();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};
