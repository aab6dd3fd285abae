// The settings file as the main window uses it: loaded once when the window
// is created, written whenever the window is asked to close.
#include "app/tform1.h"
#include "platform/platformservices.h"

#include <QLineEdit>

namespace {
std::array<QLineEdit *, settings::kValueCount> settingsFields(const TForm1 &form)
{
    return {form.Edit5, form.Edit6, form.Edit1, form.Edit2};
}

settings::Locations settingsLocations(const PlatformServices &services)
{
    return settings::locations(services.executablePath(), services.userSettingsFolder());
}
} // namespace

void TForm1::LoadSettings()
{
    const settings::Loaded loaded = settings::load(settingsLocations(m_services).readOrder);
    if (!loaded.found)
        return;
    m_loadedSettings = loaded.lines;
    const settings::Values values = settings::decodeLines(loaded.lines);
    const auto fields = settingsFields(*this);
    for (int i = 0; i < settings::kValueCount; ++i) {
        if (values[i])
            fields[i]->setText(*values[i]);
    }
    LastBatchFolder.clear();
}

void TForm1::SaveSettings()
{
    std::array<QString, settings::kValueCount> values;
    const auto fields = settingsFields(*this);
    for (int i = 0; i < settings::kValueCount; ++i)
        values[i] = fields[i]->text();
    // A failure to write is silent: the window closes all the same.
    settings::save(settingsLocations(m_services).writeOrder, values, m_loadedSettings);
}

void TForm1::FormCloseQuery(QObject *, bool &)
{
    SaveSettings();
}
