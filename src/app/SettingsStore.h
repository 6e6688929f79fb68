#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class AppCore;
class IniFile;

// The settings file "quendra.ini" as the program reads and writes its section [Orvanel]: read into
// the settings model at start-up, one key stored when its edit in the settings panel is left
// (readable by the user only: it holds the gateway key), every key at once when the program closes.
// It also keeps the autostart entry as "Autostart" says.
class SettingsStore : public QObject {
    Q_OBJECT
public:
    explicit SettingsStore(AppCore &core, QObject *parent = nullptr);

    // Removes what a program killed in the middle of a save left beside the program folder's own
    // files, reads the file into the settings model and answers it, for the sections of others.
    // A file that cannot be read is said now: it is never written over, so no change would be kept.
    IniFile load();
    // There was no settings file at start-up.
    bool firstRun() const { return m_firstRun; }

    // An edit of the settings panel was left: its key is stored; the address and a port that holds
    // a whole number become the link's. A port that holds none gets its error box and keeps its
    // last number; a folder the file cannot hold gets its error box and is not taken.
    void takeHost();
    void takeGatewayPort();
    void takeWebPort();
    void takeKey();
    void takeFolder();
    // The first half of `save_blist`: every key in the program's order, with the ports and the
    // folder taken as when their edits are left. False when the file could not be written (the
    // error box names it).
    bool writeAll();

private:
    bool store(const std::function<void(IniFile &)> &change);
    bool storeOne(const QString &key, const QString &value);
    std::optional<int> convert(const QString &text);
    bool takeFolderOrSay();
    void followAutostart(bool on);

    AppCore &m_core;
    bool m_firstRun = false;
};
