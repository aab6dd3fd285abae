#pragma once

#include <QProxyStyle>

// The window's style: the desktop's own (Fusion where there is none), with
// one change. The focus of a control moved to by the keyboard shows as a
// dotted line in the text's colour, kept readable against what it is drawn
// on; the styles' own marks (a tint of the highlight) stand out about 2:1
// and can hardly be seen.
class FocusStyle : public QProxyStyle
{
    Q_OBJECT

public:
    using QProxyStyle::QProxyStyle;

    // Puts it under the application, over the style it has, once.
    static void install();

    void drawPrimitive(PrimitiveElement element, const QStyleOption *option, QPainter *painter,
                       const QWidget *widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption *option, QPainter *painter,
                     const QWidget *widget = nullptr) const override;

    // The mark itself, around `rect`; for the widgets that draw their own.
    static void drawMark(QPainter *painter, const QRect &rect, const QPalette &palette, QPalette::ColorRole background);
};
