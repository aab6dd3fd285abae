#include "controls.h"

#include "readablecolour.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

namespace controls {

QLabel *label(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *l = place<QLabel>(parent, name, geometry);
    l->setText(text);
    return l;
}

QPushButton *button(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    auto *b = place<QPushButton>(parent, name, geometry);
    b->setText(text);
    b->setAutoDefault(false);
    return b;
}

namespace {
// Keeps a text colour readable against the background the widget is drawn
// on, whenever a palette or style changes it.
class ReadableText : public QObject
{
public:
    ReadableText(QWidget *w, const QColor &wanted)
        : QObject(w)
        , m_widget(w)
        , m_wanted(wanted)
    {
        w->installEventFilter(this);
        apply();
    }
    void setWanted(const QColor &wanted)
    {
        m_wanted = wanted;
        apply();
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange
            || event->type() == QEvent::ParentChange)
            apply();
        return false;
    }

private:
    void apply()
    {
        // A widget that fills no background of its own shows its parent's.
        const QWidget *drawnOn
            = m_widget->autoFillBackground() || !m_widget->parentWidget() ? m_widget : m_widget->parentWidget();
        const QColor background = drawnOn->palette().color(drawnOn->backgroundRole());
        const QColor colour = readablecolour::readable(m_wanted, background);
        QPalette p = m_widget->palette();
        if (p.color(QPalette::WindowText) == colour && p.color(QPalette::Text) == colour)
            return;
        p.setColor(QPalette::WindowText, colour);
        p.setColor(QPalette::Text, colour);
        p.setColor(QPalette::ButtonText, colour);
        m_widget->setPalette(p);
    }

    QWidget *m_widget;
    QColor m_wanted;
};
} // namespace

void setTextColour(QWidget *w, const QColor &colour)
{
    if (auto *kept = w->findChild<ReadableText *>(QString(), Qt::FindDirectChildrenOnly))
        kept->setWanted(colour);
    else
        new ReadableText(w, colour);
}

} // namespace controls
