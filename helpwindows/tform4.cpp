#include "tform4.h"

#include "helpwindows/helptext.h"
#include "ui/appicon.h"
#include "ui/enterpressesbutton.h"
#include "ui/fonts.h"

#include <QPlainTextEdit>
#include <QPushButton>

TForm4::TForm4()
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("Form4"));
    setWindowTitle(QStringLiteral(u"説明(Tessiva) "));
    setWindowIcon(applicationIcon());
    setFont(fonts::proportional(12));
    setFixedSize(498, 399);

    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(12, 21, 475, 337);
    Memo1->setFont(fonts::fixedPitch(12));
    Memo1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QPalette p = Memo1->palette();
    p.setColor(QPalette::Base, Qt::white);
    p.setColor(QPalette::Text, Qt::black);
    Memo1->setPalette(p);

    Button1 = new QPushButton(QStringLiteral("Close"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(399, 368, 88, 20);
    setTabOrder(Memo1, Button1);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(Button1); });
    EnterPressesButton::install(this);
}

void TForm4::showEvent(QShowEvent *event)
{
    // The text is laid out when the window is first shown, not at start-up.
    // Later showings keep whatever the user typed into it.
    if (!m_filled) {
        m_filled = true;
        Memo1->setPlainText(helpText().join(u'\n'));
    }
    QWidget::showEvent(event);
}

void TForm4::Button1Click(QObject *) { close(); }
