#pragma once

#include "core/job/conversionjob.h"

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
    ConversionOptions(QWidget *client, const LeaveWatcher &leaving);

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

signals:
    void precisionLeft(QObject *sender);
    void formatEntered(QObject *sender);
    // A format was chosen from the format box's list (mouse or arrow keys).
    void formatChosen(QObject *sender);
    void formatLeft(QObject *sender);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildKindChoice(QWidget *client);
    void buildFormatBoxes(QWidget *client);
    void buildParameterFields(QWidget *client);
    void connectControls(const LeaveWatcher &leaving);

    QGroupBox *RadioGroup1;
    QButtonGroup *m_kinds;
    QLabel *Label6;
    QComboBox *ComboBox1;
    QLabel *Label9;
    QComboBox *ComboBox2;
    QLabel *Label3;
    QLineEdit *Edit5;
    QLabel *Label8;
    QLineEdit *Edit6;
    QString SavedFormatText;
    bool m_committingFormatText = false;
};
