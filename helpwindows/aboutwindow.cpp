#include "aboutwindow.h"

#include "ui/appicon.h"
#include "ui/controls.h"
#include "ui/enterpressesbutton.h"
#include "ui/fonts.h"

#include <QLabel>
#include <QPushButton>

namespace {
QLabel *whiteLabel(QWidget *parent, const char *name, const QString &text, QRect geometry, int pixelSize)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    l->setFont(fonts::proportional(pixelSize));
    controls::setTextColour(l, Qt::white);
    return l;
}
} // namespace

AboutWindow::AboutWindow(QWidget *owner)
    : QWidget(owner,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                  | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral(u"バージョン情報"));
    setWindowIcon(applicationIcon());
    setFont(fonts::proportional(12));
    setFixedSize(350, 210);

    m_productLine = whiteLabel(this, "Label1", QStringLiteral("Tessiva ( for DXF to DXF DataConvert )"),
                               QRect(23, 20, 305, 20), 16);
    m_version = whiteLabel(this, "Label2", QStringLiteral("Version " TESSIVA_VERSION), QRect(71, 52, 209, 15), 15);
    m_releaseDate = whiteLabel(this, "Label3", QStringLiteral("2002.04.21"), QRect(71, 76, 209, 15), 15);

    m_icon = new QLabel(this);
    m_icon->setObjectName(QStringLiteral("Image1"));
    m_icon->setPixmap(applicationIconPixmap(32));
    m_icon->setGeometry(48, 52, 32, 32);

    m_okButton = new QPushButton(QStringLiteral("Ok"), this);
    m_okButton->setObjectName(QStringLiteral("BitBtn1"));
    m_okButton->setGeometry(131, 180, 88, 20);
    setFocusProxy(m_okButton);
    connect(m_okButton, &QPushButton::clicked, this, &QWidget::close);
    EnterPressesButton::install(this);
}

void AboutWindow::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    m_okButton->setFocus();
}
