#include "captionfit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QRadioButton>

namespace captionfit {
namespace {
QString captionOf(const QWidget *control)
{
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->wordWrap() ? QString() : label->text();
    if (qobject_cast<const QRadioButton *>(control) || qobject_cast<const QCheckBox *>(control))
        return static_cast<const QAbstractButton *>(control)->text();
    if (const auto *field = qobject_cast<const QLineEdit *>(control))
        return field->isReadOnly() ? field->text() : QString();
    return QString();
}

// The text of a field stands this far inside its contents on each side.
constexpr int kFieldMargin = 2;
} // namespace

int neededWidth(const QWidget *control) { return control->fontMetrics().horizontalAdvance(captionOf(control)); }

int availableWidth(const QWidget *control)
{
    if (qobject_cast<const QLabel *>(control))
        return control->contentsRect().width();
    if (const auto *field = qobject_cast<const QLineEdit *>(control)) {
        const QMargins margins = field->textMargins();
        return field->contentsRect().width() - margins.left() - margins.right() - 2 * kFieldMargin;
    }
    // A button's indicator and spacing come before the caption.
    const int chrome = control->sizeHint().width() - neededWidth(control);
    return control->width() - chrome;
}

namespace {
// Condenses the face of `control` just enough for its caption to fit.
void condense(QWidget *control)
{
    const int needed = neededWidth(control);
    const int available = availableWidth(control);
    if (needed <= available || needed <= 0)
        return;
    // The stretch that fits, found from the measure itself: advances are
    // rounded, so a step down may be needed.
    QFont font = control->font();
    for (int stretch = available * 100 / needed; stretch >= 50; --stretch) {
        font.setStretch(stretch);
        control->setFont(font);
        if (neededWidth(control) <= availableWidth(control))
            break;
    }
}
} // namespace

void fitText(QLineEdit *field)
{
    QFont font = field->font();
    if (font.stretch() != QFont::Unstretched && font.stretch() != QFont::AnyStretch) {
        font.setStretch(QFont::Unstretched);
        field->setFont(font);
    }
    condense(field);
    // Shown from its start, as a label is.
    field->setCursorPosition(0);
}

void condenseToFit(QWidget *root)
{
    // The controls laid out by a layout get their widths from it.
    for (QLayout *layout : root->findChildren<QLayout *>())
        layout->activate();
    const QList<QWidget *> controls = root->findChildren<QWidget *>();
    for (QWidget *control : controls) {
        if (!qobject_cast<QLineEdit *>(control) && !captionOf(control).isEmpty())
            condense(control);
    }
}

} // namespace captionfit
