#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class AppCore;
class IniFile;
class MainWindow;
class Subsystem;
class WindowFrame;

// The program's subsystems in their order (see Subsystem): the start-up and the closing sequence
// run each step over the whole list, first to last. The list does not own the subsystems; whoever
// adds one keeps it until it is removed again.
class SubsystemList {
public:
    explicit SubsystemList(AppCore &core);
    ~SubsystemList();

    // name: the subsystem as the events of its boxes and balloons name their source.
    void add(const QString &name, Subsystem &subsystem);
    // Forgets the subsystems; the frames they were given stay until the list goes, as the panels
    // the main window still shows may use them.
    void clear();

    // The main window exists: each subsystem attaches to a frame of its own.
    void attach(MainWindow &window);
    void readSettings(const IniFile &settings);
    void load(const QString &folder);
    void reload(const QString &folder);
    void started();
    void close();
    // Every save runs, whatever the one before did; false when any failed.
    bool save(const QString &folder);

    // The boxes due at the end of the start-up, in the order they were asked for.
    void addStartupNotice(const QString &text) { m_startupNotices.append(text); }
    const QStringList &startupNotices() const { return m_startupNotices; }

private:
    struct Entry {
        QString name;
        Subsystem *subsystem;
    };

    AppCore &m_core;
    std::vector<Entry> m_entries;
    std::vector<std::unique_ptr<WindowFrame>> m_frames;
    QStringList m_startupNotices;
};
