#include "SubsystemList.h"

#include "Subsystem.h"
#include "WindowFrame.h"

SubsystemList::SubsystemList(AppCore &core) : m_core(core) {
}

SubsystemList::~SubsystemList() = default;

void SubsystemList::add(const QString &name, Subsystem &subsystem) {
    m_entries.push_back({name, &subsystem});
}

void SubsystemList::clear() {
    m_entries.clear();
}

void SubsystemList::attach(MainWindow &window) {
    for (const Entry &entry : m_entries) {
        m_frames.push_back(std::make_unique<WindowFrame>(m_core, window, entry.name));
        entry.subsystem->attach(*m_frames.back());
    }
}

void SubsystemList::readSettings(const IniFile &settings) {
    for (const Entry &entry : m_entries)
        entry.subsystem->readSettings(settings);
}

void SubsystemList::load(const QString &folder) {
    for (const Entry &entry : m_entries)
        entry.subsystem->load(folder);
}

void SubsystemList::reload(const QString &folder) {
    for (const Entry &entry : m_entries)
        entry.subsystem->reload(folder);
}

void SubsystemList::started() {
    for (const Entry &entry : m_entries)
        entry.subsystem->started();
}

void SubsystemList::close() {
    for (const Entry &entry : m_entries)
        entry.subsystem->close();
}

bool SubsystemList::save(const QString &folder) {
    bool saved = true;
    for (const Entry &entry : m_entries)
        if (!entry.subsystem->save(folder))
            saved = false;
    return saved;
}
