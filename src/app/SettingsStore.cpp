#include "SettingsStore.h"

#include "AppCore.h"
#include "Autostart.h"
#include "CheckedFileWriter.h"
#include "Dialogs.h"
#include "IniFile.h"

#include <QFileInfo>

namespace {
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
} // namespace

SettingsStore::SettingsStore(AppCore &core, QObject *parent) : QObject(parent), m_core(core) {
    // A check box set from the file changes state like a click, so ticking "Autostart" writes the
    // entry anew at every start.
    connect(&core.settings(), &ProgramSettings::autostartChanged, this, &SettingsStore::followAutostart);
}

IniFile SettingsStore::load() {
    const ProgramPaths &paths = m_core.paths();
    // Nothing of ours is being written yet: every temporary file beside them is a leftover.
    QStringList files{paths.settingsFile(), m_core.catalogueCopyFile()};
    if (const Autostart *autostart = m_core.services().autostart; autostart && !autostart->entryFile().isEmpty())
        files << autostart->entryFile();
    CheckedFileWriter::removeLeftovers(files);
    m_firstRun = !QFileInfo::exists(paths.settingsFile());
    IniFile ini(paths.settingsFile());
    Dialogs &dialogs = *m_core.services().dialogs;
    if (!ini.readOk())
        dialogs.error(ini.errorString());
    Settings::Values values = Settings::read(ini, paths.programFolder());
    if (!Settings::wholeNumber(values.mailtime)) {
        // A broken interval must not cut the start-up short: poll at the default instead.
        dialogs.error(Settings::notAWholeNumber(values.mailtime));
        values.mailtime = Settings::Values().mailtime;
    }
    m_core.settings().apply(values);
    return ini;
}

bool SettingsStore::store(const std::function<void(IniFile &)> &change) {
    // A file that could not be read is not written over (save() refuses and names it).
    IniFile ini(m_core.paths().settingsFile());
    change(ini);
    if (!ini.save(kOwnerOnly)) {
        m_core.services().dialogs->error(ini.errorString());
        return false;
    }
    return true;
}

bool SettingsStore::storeOne(const QString &key, const QString &value) {
    return store([&](IniFile &ini) { ini.writeString(Settings::kSection, key, value); });
}

std::optional<int> SettingsStore::convert(const QString &text) {
    const std::optional<int> number = Settings::wholeNumber(text);
    if (!number)
        m_core.services().dialogs->error(Settings::notAWholeNumber(text));
    return number;
}

void SettingsStore::takeHost() {
    ProgramSettings &settings = m_core.settings();
    storeOne(Settings::Key::IP, settings.host());
    settings.setGatewayHost(settings.host());
}

void SettingsStore::takeGatewayPort() {
    ProgramSettings &settings = m_core.settings();
    if (const std::optional<int> port = convert(settings.gatewayPortText())) {
        settings.setGatewayPort(*port);
        storeOne(Settings::Key::Port, QString::number(*port));
    }
}

void SettingsStore::takeWebPort() {
    ProgramSettings &settings = m_core.settings();
    if (const std::optional<int> port = convert(settings.webPortText())) {
        settings.setWebPort(*port);
        storeOne(Settings::Key::TCPPort, QString::number(*port));
    }
}

void SettingsStore::takeKey() {
    storeOne(Settings::Key::Key, m_core.settings().key());
}

bool SettingsStore::takeFolderOrSay() {
    if (const std::optional<QString> problem = m_core.settings().takeFolder()) {
        m_core.services().dialogs->error(*problem);
        return false;
    }
    return true;
}

void SettingsStore::takeFolder() {
    if (takeFolderOrSay())
        storeOne(Settings::Key::Pfad, m_core.settings().values().pfad);
}

bool SettingsStore::writeAll() {
    ProgramSettings &settings = m_core.settings();
    if (const std::optional<int> port = convert(settings.webPortText()))
        settings.setWebPort(*port);
    if (const std::optional<int> port = convert(settings.gatewayPortText()))
        settings.setGatewayPort(*port);
    takeFolderOrSay();
    const Settings::Values values = settings.values();
    return store([&](IniFile &ini) { Settings::write(ini, values); });
}

void SettingsStore::followAutostart(bool on) {
    Autostart *autostart = m_core.services().autostart;
    const bool ok = on ? autostart->enable(ProgramPaths::programFile()) : autostart->disable();
    if (!ok)
        m_core.services().dialogs->error(autostart->errorString());
}
