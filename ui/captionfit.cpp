#include "captionfit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLayout>
#include <QRadioButton>

namespace captionfit {
namespace {
QString captionOf(const QWidget *control)
{
    if (const auto *label = qobject_cast<const QLabel *>(control))
        return label->wordWrap() ? QString() : label->text();
    if (qobject_cast<const QRadioButton *>(control) || qobject_cast<const QCheckBox *>(control))
        return static_cast<const QAbstractButton *>(control)->text();
    return QString();
}
} // namespace

int neededWidth(const QWidget *control) { return control->fontMetrics().horizontalAdvance(captionOf(control)); }

int availableWidth(const QWidget *control)
{
    if (qobject_cast<const QLabel *>(control))
        return control->contentsRect().width();
    // A button's indicator and spacing come before the caption.
    const int chrome = control->sizeHint().width() - neededWidth(control);
    return control->width() - chrome;
}

void condenseToFit(QWidget *root)
{
    // The controls laid out by a layout get their widths from it.
    for (QLayout *layout : root->findChildren<QLayout *>())
        layout->activate();
    const QList<QWidget *> controls = root->findChildren<QWidget *>();
    for (QWidget *control : controls) {
        if (captionOf(control).isEmpty())
            continue;
        const int needed = neededWidth(control);
        const int available = availableWidth(control);
        if (needed <= available || needed <= 0)
            continue;
        // The stretch that fits, found from the measure itself: advances
        // are rounded, so a step down may be needed.
        QFont font = control->font();
        for (int stretch = available * 100 / needed; stretch >= 50; --stretch) {
            font.setStretch(stretch);
            control->setFont(font);
            if (neededWidth(control) <= availableWidth(control))
                break;
        }
    }
}

} // namespace captionfit
