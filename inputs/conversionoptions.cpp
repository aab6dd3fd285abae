#include "conversionoptions.h"

#include "core/text/textrules.h"
#include "ui/controls.h"
#include "ui/leavewatcher.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QVBoxLayout>

#include <limits>

using namespace controls;

namespace {
// The window's words for the formats.
QString asciiText() { return outputFormatKind(OutputFormat::Ascii).caption.toString(); }
QString binaryText() { return outputFormatKind(OutputFormat::Binary).caption.toString(); }

QStringList precisionItems()
{
    return {JobDefaults::precision(), QStringLiteral("  8"), QStringLiteral(" 12"), QStringLiteral(" 16")};
}

QComboBox *editableBox(QWidget *client, const char *name, int left, const QStringList &items)
{
    auto *box = place<QComboBox>(client, name, QRect(left, 24, 65, 20));
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr); // typed text stays exactly as typed
    box->addItems(items);
    box->setCurrentIndex(0);
    return box;
}

QLineEdit *parameterField(QWidget *client, const char *name, int top, const QString &text)
{
    auto *edit = place<QLineEdit>(client, name, QRect(423, top, 118, 20));
    edit->setMaxLength(std::numeric_limits<int>::max());
    edit->setText(text);
    return edit;
}
} // namespace

ConversionOptions::ConversionOptions(QWidget *client, const LeaveWatcher &leaving, const HandlerGuard &guard)
    : QObject(client)
{
    setObjectName(QStringLiteral("ConversionOptions"));
    buildKindChoice(client);
    buildFormatBoxes(client);
    buildParameterFields(client);
    connectControls(leaving, guard);
}

// The kinds of conversion, the first one chosen.
void ConversionOptions::buildKindChoice(QWidget *client)
{
    m_kindGroup = place<QGroupBox>(client, "RadioGroup1", QRect(14, 12, 160, 67));
    m_kindGroup->setTitle(QStringLiteral(u"ﾊﾞｯﾁﾌｧｲﾙ　選択"));
    m_kinds = new QButtonGroup(this);
    auto *kindLayout = new QVBoxLayout(m_kindGroup);
    kindLayout->setContentsMargins(6, 0, 2, 2);
    kindLayout->setSpacing(0);
    for (const ConversionKind &kind : kConversionKinds) {
        const int i = int(kind.kind);
        auto *item = new QRadioButton(kind.caption.toString(), m_kindGroup);
        item->setStyleSheet(QStringLiteral("QRadioButton { spacing: 3px; }"));
        item->setObjectName(QStringLiteral("RadioGroup1Item%1").arg(i));
        m_kinds->addButton(item, i);
        kindLayout->addWidget(item);
    }
    m_kinds->button(0)->setChecked(true);
}

// The precision and the format of the output.
void ConversionOptions::buildFormatBoxes(QWidget *client)
{
    m_precisionLabel = label(client, "Label6", QStringLiteral(u"出力精度"), QRect(195, 11, 48, 12));
    setTextColour(m_precisionLabel, Qt::black);
    m_precisionBox = editableBox(client, "ComboBox1", 195, precisionItems());
    m_formatLabel = label(client, "Label9", QStringLiteral(u"出力形式"), QRect(282, 11, 48, 12));
    m_formatBox = editableBox(client, "ComboBox2", 282, {asciiText(), binaryText()});
}

// The converter's two parameter files, under their captions.
void ConversionOptions::buildParameterFields(QWidget *client)
{
    m_r13ToR12Label = label(client, "Label3", JobFieldNames::r13ToR12Parameter(), QRect(423, 11, 118, 12));
    m_r13ToR12Label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_r13ToR12Field = parameterField(client, "Edit5", 24, JobDefaults::r13ToR12Parameter());
    m_r12ToGx3Label = label(client, "Label8", JobFieldNames::r12ToGx3Parameter(), QRect(422, 46, 119, 12));
    m_r12ToGx3Label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_r12ToGx3Field = parameterField(client, "Edit6", 59, JobDefaults::r12ToGx3Parameter());
}

// What happens to the boxes, and what each of them does.
void ConversionOptions::connectControls(const LeaveWatcher &leaving, const HandlerGuard &guard)
{
    // Chosen from the list, by mouse or arrow keys; never for typed text.
    guard.connect(m_formatBox, &QComboBox::activated, this, [this] {
        if (!m_committingFormatText)
            applyFormatChoice();
    });
    m_formatBox->installEventFilter(this);
    guard.connect(&leaving, &LeaveWatcher::left, this, [this](QWidget *control) {
        if (control == m_precisionBox)
            checkPrecision();
        else if (control == m_formatBox)
            restoreFormat();
    });
    guard.connect(&leaving, &LeaveWatcher::entered, this, [this](QWidget *control) {
        if (control == m_formatBox)
            rememberFormat();
    });
}

bool ConversionOptions::eventFilter(QObject *watched, QEvent *event)
{
    // When typed text is committed (focus leaves, or Return), an editable
    // combo box selects the item that matches the text and reports it as
    // activated. That is typing, not a choice from the list, so the event
    // is delivered again with the choice held off.
    if (watched == m_formatBox && !m_committingFormatText) {
        const bool commit = event->type() == QEvent::FocusOut
            || (event->type() == QEvent::KeyPress
                && (static_cast<QKeyEvent *>(event)->key() == Qt::Key_Return
                    || static_cast<QKeyEvent *>(event)->key() == Qt::Key_Enter));
        if (commit) {
            QScopedValueRollback<bool> committing(m_committingFormatText, true);
            QCoreApplication::sendEvent(watched, event);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

void ConversionOptions::checkPrecision()
{
    if (!isValidPrecision(m_precisionBox->currentText()))
        m_precisionBox->setEditText(JobDefaults::precision());
}

void ConversionOptions::rememberFormat() { m_savedFormatText = m_formatBox->currentText(); }

void ConversionOptions::applyFormatChoice()
{
    const QString text = m_formatBox->currentText();
    if (text == asciiText()) {
        setTextColour(m_precisionLabel, QColor(0, 0, 0));
        m_precisionBox->setEnabled(true);
    } else if (text == binaryText()) {
        setTextColour(m_precisionLabel, QColor(0x80, 0x80, 0x80));
        m_precisionBox->setEnabled(false);
    }
}

void ConversionOptions::restoreFormat()
{
    const QString text = m_formatBox->currentText();
    if (text != asciiText() && text != binaryText())
        m_formatBox->setEditText(m_savedFormatText);
}

void ConversionOptions::defaultParameters()
{
    setParameters(JobDefaults::r13ToR12Parameter(), JobDefaults::r12ToGx3Parameter());
}

BatchKind ConversionOptions::kind() const
{
    const int checked = m_kinds->checkedId();
    return checked >= 0 && checked < int(kConversionKinds.size()) ? kConversionKinds[checked].kind
                                                                  : BatchKind::R13ToR12;
}

QString ConversionOptions::precision() const { return m_precisionBox->currentText(); }

OutputFormat ConversionOptions::outputFormat() const
{
    return m_formatBox->currentText() == asciiText() ? OutputFormat::Ascii : OutputFormat::Binary;
}

QString ConversionOptions::r13ToR12Parameter() const { return m_r13ToR12Field->text(); }

QString ConversionOptions::r12ToGx3Parameter() const { return m_r12ToGx3Field->text(); }

void ConversionOptions::setParameters(const QString &r13ToR12, const QString &r12ToGx3)
{
    m_r13ToR12Field->setText(r13ToR12);
    m_r12ToGx3Field->setText(r12ToGx3);
}

QList<QWidget *> ConversionOptions::tabStops() const
{
    QList<QWidget *> stops;
    for (QAbstractButton *kind : m_kinds->buttons())
        stops << kind;
    return stops << m_precisionBox << m_formatBox << m_r13ToR12Field << m_r12ToGx3Field;
}
