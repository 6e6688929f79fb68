#pragma once

#include "Settings.h"

#include <QObject>
#include <QString>
#include <optional>

// The program's settings as they are now: what the settings panel shows (texts as typed) and edits,
// what the tabs "Email" and "System" edit, and what the link, the catalogue fetch and the
// subsystems read at the moment of use. Plain values with one change signal each, emitted only
// when a value changes; the settings file is read into it at start-up and written from it.
class ProgramSettings : public QObject {
    Q_OBJECT
public:
    // programFolder ends with its separator; an empty "Pfad" stands for it.
    explicit ProgramSettings(QString programFolder, QObject *parent = nullptr);

    // Takes every value read at start-up.
    void apply(const Settings::Values &values);
    // Every value as the settings file stores it: the ports last taken, the folder last taken.
    Settings::Values values() const;

    // "IP Adresse des OV/OW:", "Key:" and both ports as typed; the ports may hold no number.
    const QString &host() const { return m_host; }
    const QString &key() const { return m_key; }
    const QString &gatewayPortText() const { return m_gatewayPortText; }
    const QString &webPortText() const { return m_webPortText; }
    void setHost(const QString &host);
    void setKey(const QString &key);
    void setGatewayPortText(const QString &text);
    void setWebPortText(const QString &text);

    // The address the gateway link connects to: the host and port last taken (at start-up and
    // when their edits are left), the port's last whole number; the web port's likewise.
    const QString &gatewayHost() const { return m_gatewayHost; }
    int gatewayPort() const { return m_gatewayPort; }
    int webPort() const { return m_webPort; }
    void setGatewayHost(const QString &host);
    void setGatewayPort(int port);
    void setWebPort(int port);

    // "Balloon ges." (balloons on value changes at all), "minimiert starten", "Autostart" and
    // "Offline (autom. Verbindung deaktivieren)".
    bool balloons() const { return m_balloons; }
    bool startMinimized() const { return m_startMinimized; }
    bool autostart() const { return m_autostart; }
    bool offline() const { return m_offline; }
    void setBalloons(bool on);
    void setStartMinimized(bool on);
    void setAutostart(bool on);
    void setOffline(bool on);

    // "Pfad für Konfigurationsdateien:" as typed, and the folder last taken from it (ending in
    // its separator).
    const QString &folderText() const { return m_folderText; }
    const QString &folder() const { return m_folder; }
    void setFolderText(const QString &text);
    // The folder the user files are read from and written to now, ending in the separator their
    // names are appended to. A folder typed but not taken yet is already the folder (the window
    // may close before its edit is left); one the settings file could not hold is not: the files
    // stay where the stored setting finds them again.
    QString configurationFolder() const;
    // Takes the typed folder as the configuration folder, with its separator; one the settings
    // file cannot hold is refused with the error text, and the typed text goes back to the
    // folder last taken.
    std::optional<QString> takeFolder();

    // "Mail" and "Mailtime" (tab "Email", the minutes as typed) and "Screen" (tab "System").
    bool mail() const { return m_mail; }
    const QString &mailtime() const { return m_mailtime; }
    const QString &screen() const { return m_screen; }
    void setMail(bool on);
    void setMailtime(const QString &minutes);
    void setScreen(const QString &caption);

signals:
    void hostChanged(const QString &host);
    void keyChanged(const QString &key);
    void gatewayPortTextChanged(const QString &text);
    void webPortTextChanged(const QString &text);
    void gatewayHostChanged(const QString &host);
    void gatewayPortChanged(int port);
    void webPortChanged(int port);
    void balloonsChanged(bool on);
    void startMinimizedChanged(bool on);
    void autostartChanged(bool on);
    void offlineChanged(bool on);
    void folderTextChanged(const QString &text);
    void mailChanged(bool on);
    void mailtimeChanged(const QString &minutes);
    void screenChanged(const QString &caption);

private:
    template <typename T> void change(T &member, const T &value, void (ProgramSettings::*changed)(T));
    template <typename T> void change(T &member, const T &value, void (ProgramSettings::*changed)(const T &));

    QString m_programFolder;
    QString m_host;
    QString m_key;
    QString m_gatewayPortText;
    QString m_webPortText;
    QString m_gatewayHost;
    int m_gatewayPort = 0;
    int m_webPort = 0;
    bool m_balloons = false;
    bool m_startMinimized = false;
    bool m_autostart = false;
    bool m_offline = false;
    QString m_folderText;
    QString m_folder;
    bool m_mail = false;
    QString m_mailtime;
    QString m_screen;
};
