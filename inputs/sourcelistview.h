#pragma once

#include <QListView>

// The source list as a list box behaves: it takes files dropped from the
// file manager and refuses any other drop, a double-click on a line is
// reported (one on the empty area below the lines is not: it would act on
// a line the pointer is not on), and a click on the empty area leaves the
// selected line selected. A line too long for the list keeps its start and
// its file's name, the middle elided, and shows the whole path as its
// tooltip; the list shows that it has the focus when it is empty too.
class SourceListView : public QListView
{
    Q_OBJECT

public:
    explicit SourceListView(QWidget *parent = nullptr);

    static constexpr int kLineHeight = 13;

signals:
    void filesDropped(const QStringList &nativeNames);
    void lineDoubleClicked();

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragMoveEvent(QDragMoveEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
};
