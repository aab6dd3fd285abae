#include "tform5.h"

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

TForm5::TForm5(QWidget *owner)
    : QWidget(owner,
              Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint
                  | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Form5"));
    setWindowTitle(QStringLiteral(u"バージョン情報"));
    setWindowIcon(applicationIcon());
    setFont(fonts::proportional(12));
    setFixedSize(350, 210);

    Label1 = whiteLabel(this, "Label1", QStringLiteral("Tessiva ( for DXF to DXF DataConvert )"),
                        QRect(23, 20, 305, 20), 16);
    Label2 = whiteLabel(this, "Label2", QStringLiteral("Version " TESSIVA_VERSION), QRect(71, 52, 209, 15), 15);
    Label3 = whiteLabel(this, "Label3", QStringLiteral("2002.04.21"), QRect(71, 76, 209, 15), 15);

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(applicationIconPixmap(32));
    Image1->setGeometry(48, 52, 32, 32);

    BitBtn1 = new QPushButton(QStringLiteral("Ok"), this);
    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setGeometry(131, 180, 88, 20);
    setFocusProxy(BitBtn1);
    connect(BitBtn1, &QPushButton::clicked, this, [this] { BitBtn1Click(BitBtn1); });
    EnterPressesButton::install(this);
}

void TForm5::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    BitBtn1->setFocus();
}

void TForm5::BitBtn1Click(QObject *) { close(); }
