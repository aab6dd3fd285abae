#pragma once

#include "core/job/conversionjob.h"
#include "ui/handlerguard.h"

#include <QObject>
#include <QString>

class LeaveWatcher;
class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;

// The conversion options: the kind of batch file, the precision and the
// output format, and the two parameter file names. The precision is kept
// within 0 to 18 and the format to one of its two texts when the user
// leaves their boxes; choosing binary greys the precision out.
class ConversionOptions : public QObject
{
    Q_OBJECT

public:
    ConversionOptions(QWidget *client, const LeaveWatcher &leaving, const HandlerGuard &guard = {});

    // Leaving the precision box: an invalid precision becomes "  6".
    void checkPrecision();
    // Entering the format box: its text is remembered.
    void rememberFormat();
    // A format chosen from the list: the precision is enabled for ASCII only.
    void applyFormatChoice();
    // Leaving the format box: a text other than the two is put back.
    void restoreFormat();
    // The menu's default parameter files.
    void defaultParameters();

    BatchKind kind() const;
    QString precision() const;
    // The format box's text as the job's format: exactly "ASCII" is ASCII,
    // every other text gives no precision option.
    OutputFormat outputFormat() const;
    QString r13ToR12Parameter() const;
    QString r12ToGx3Parameter() const;
    void setParameters(const QString &r13ToR12, const QString &r12ToGx3);

    // Its controls in the window's tab order.
    QList<QWidget *> tabStops() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildKindChoice(QWidget *client);
    void buildFormatBoxes(QWidget *client);
    void buildParameterFields(QWidget *client);
    void connectControls(const LeaveWatcher &leaving, const HandlerGuard &guard);

    QGroupBox *m_kindGroup;
    QButtonGroup *m_kinds;
    QLabel *m_precisionLabel;
    QComboBox *m_precisionBox;
    QLabel *m_formatLabel;
    QComboBox *m_formatBox;
    QLabel *m_r13ToR12Label;
    QLineEdit *m_r13ToR12Field;
    QLabel *m_r12ToGx3Label;
    QLineEdit *m_r12ToGx3Field;
    QString m_savedFormatText;
    bool m_committingFormatText = false;
};
