#include "howtousewindow.h"

#include "helpwindows/helptext.h"
#include "ui/appicon.h"
#include "ui/enterpressesbutton.h"
#include "ui/fonts.h"

#include <QPlainTextEdit>
#include <QPushButton>

HowToUseWindow::HowToUseWindow()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral(u"説明(Tessiva) "));
    setWindowIcon(applicationIcon());
    setFont(fonts::proportional(12));
    setFixedSize(498, 399);

    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("Memo1"));
    m_text->setGeometry(12, 21, 475, 337);
    m_text->setFont(fonts::fixedPitch(12));
    m_text->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette p = m_text->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    m_text->setPalette(p);

    m_closeButton = new QPushButton(QStringLiteral("Close"), this);
    m_closeButton->setObjectName(QStringLiteral("Button1"));
    m_closeButton->setGeometry(399, 368, 88, 20);
    setTabOrder(m_text, m_closeButton);
    connect(m_closeButton, &QPushButton::clicked, this, &QWidget::close);
    EnterPressesButton::install(this);
}

void HowToUseWindow::showEvent(QShowEvent *event)
{
    // The text is laid out when the window is first shown, not at start-up.
    // Later showings keep whatever the user typed into it.
    if (!m_filled) {
        m_filled = true;
        m_text->setPlainText(helpText().join(u'\n'));
    }
    QWidget::showEvent(event);
}
