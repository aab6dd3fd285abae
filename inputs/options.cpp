// The conversion options: the precision kept within 0 to 18, the output
// format kept to one of its two texts, and the default parameter files.
#include "app/tform1.h"
#include "core/textrules.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {
void setLabelColour(QLabel *label, const QColor &colour)
{
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, colour);
    label->setPalette(p);
}
} // namespace

void TForm1::ComboBox1Exit(QObject *)
{
    if (!textrules::isValidPrecision(ComboBox1->currentText()))
        ComboBox1->setEditText(JobDefaults::precision());
}

void TForm1::ComboBox2Enter(QObject *)
{
    SavedFormatText = ComboBox2->currentText();
}

void TForm1::ComboBox2Click(QObject *)
{
    const QString text = ComboBox2->currentText();
    if (text == OutputFormat::ascii()) {
        setLabelColour(Label6, QColor(0, 0, 0));
        ComboBox1->setEnabled(true);
    } else if (text == OutputFormat::binary()) {
        setLabelColour(Label6, QColor(0x80, 0x80, 0x80));
        ComboBox1->setEnabled(false);
    }
}

void TForm1::ComboBox2Exit(QObject *)
{
    const QString text = ComboBox2->currentText();
    if (text != OutputFormat::ascii() && text != OutputFormat::binary())
        ComboBox2->setEditText(SavedFormatText);
}

void TForm1::DP1Click(QObject *)
{
    Edit5->setText(JobDefaults::r13ToR12Parameter());
    Edit6->setText(JobDefaults::r12ToGx3Parameter());
}
