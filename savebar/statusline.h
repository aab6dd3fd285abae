#pragma once

#include <QLabel>
#include <QString>

// The line that reports every save and every refusal. Its text is kept
// whole as the status; where it is wider than the line, it is shown with
// its middle elided, so that its start and its end (the reason) stay in
// view, and the whole text is the tooltip and the accessible description.
class StatusLine : public QLabel
{
    Q_OBJECT

public:
    explicit StatusLine(QWidget *parent);

    void setStatus(const QString &text);
    QString status() const { return m_status; }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void showFitted();
    QString m_status;
};
