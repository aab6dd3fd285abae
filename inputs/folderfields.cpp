// The destination and AutoCAD folder fields: typed or browsed, and always
// ending in a backslash once left.
#include "app/tform1.h"
#include "core/textrules.h"
#include "platform/platformservices.h"

#include <QLineEdit>

void TForm1::leaveFolderField(QLineEdit *field)
{
    field->setText(textrules::EnsureTrailingBackslash(m_services.typedFolderToJob(field->text())));
}

void TForm1::Edit1Exit(QObject *)
{
    leaveFolderField(Edit1);
}

void TForm1::Edit2Exit(QObject *)
{
    leaveFolderField(Edit2);
}

void TForm1::browseFolderFor(QLineEdit *field, const QString &title)
{
    // The browser opens on the folder the field names, when it names one.
    QString start = textrules::folderPart(m_services.typedFolderToJob(field->text()));
    if (start.size() > 3 && start.endsWith(u'\\'))
        start.chop(1);
    const std::optional<QString> chosen =
        m_services.browseFolder(this, title, m_services.toNativePath(start));
    if (!chosen || chosen->isEmpty())
        return;
    field->setText(textrules::EnsureTrailingBackslash(m_services.toJobPath(*chosen)));
    field->setFocus();
}

void TForm1::Button2Click(QObject *)
{
    browseFolderFor(Edit1, QStringLiteral(u"変換先ﾌｫﾙﾀﾞを指定してください。"));
}

void TForm1::Button3Click(QObject *)
{
    browseFolderFor(Edit2, QStringLiteral(u"AutoCadｲﾝｽﾄｰﾙﾌｫﾙﾀﾞを指定してください。"));
}
