#include "folderfield.h"

#include "core/job/jobpath.h"
#include "core/text/textrules.h"
#include "platform/platformservices.h"
#include "ui/controls.h"
#include "ui/fonts.h"
#include "ui/leavewatcher.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

using namespace controls;

FolderField::FolderField(PlatformServices &services, QWidget *client, const LeaveWatcher &leaving, const Layout &layout,
                         const HandlerGuard &guard)
    : QObject(client)
    , m_services(services)
    , m_browseTitle(layout.browseTitle)
{
    setObjectName(QLatin1String(layout.editName) + QStringLiteral("Field"));
    m_label = label(client, layout.labelName, layout.caption, QRect(16, layout.top, layout.labelWidth, 12));
    m_button = controls::button(client, layout.buttonName, QStringLiteral("..."), QRect(94, layout.top - 2, 15, 15));
    m_edit = place<QLineEdit>(client, layout.editName, QRect(12, layout.top + 14, 529, 21));
    m_edit->setFont(fonts::fixedPitch(13));
    // No limit of its own: whatever the settings file can hold comes back whole.
    m_edit->setMaxLength(std::numeric_limits<int>::max());

    guard.connect(m_button, &QPushButton::clicked, this, [this] { browse(); });
    guard.connect(&leaving, &LeaveWatcher::left, this, [this](QWidget *control) {
        if (control == m_edit)
            leave();
    });
}

void FolderField::leave() { setText(jobpath::folderToJob(text(), m_services.pathStyle())); }

void FolderField::browse()
{
    // The browser opens on the folder the field names, when it names one.
    QString start = textrules::folderPart(jobpath::toJob(text(), m_services.pathStyle()));
    if (start.size() > 3 && start.endsWith(u'\\'))
        start.chop(1);
    const Cancellable<QString> chosen
        = m_services.browseFolder(m_edit->window(), m_browseTitle, jobpath::toNative(start, m_services.pathStyle()));
    if (chosen.cancelled() || chosen->isEmpty())
        return;
    setText(jobpath::folderToJob(*chosen, m_services.pathStyle()));
    m_edit->setFocus();
}

QString FolderField::text() const { return m_edit->text(); }

void FolderField::setText(const QString &text) { m_edit->setText(text); }

QList<QWidget *> FolderField::tabStops() const { return {m_button, m_edit}; }
