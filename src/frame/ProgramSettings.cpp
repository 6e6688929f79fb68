#include "ProgramSettings.h"

ProgramSettings::ProgramSettings(QString programFolder, QObject *parent)
    : QObject(parent), m_programFolder(std::move(programFolder)) {
    // Before the file is read: a first start's values.
    const Settings::Values defaults;
    m_host = m_gatewayHost = defaults.ip;
    m_gatewayPortText = QString::number(defaults.port);
    m_webPortText = QString::number(defaults.tcpPort);
    m_mailtime = defaults.mailtime;
    m_screen = defaults.screen;
}

template <typename T> void ProgramSettings::change(T &member, const T &value, void (ProgramSettings::*changed)(T)) {
    if (member == value)
        return;
    member = value;
    emit(this->*changed)(value);
}

template <typename T>
void ProgramSettings::change(T &member, const T &value, void (ProgramSettings::*changed)(const T &)) {
    if (member == value)
        return;
    member = value;
    emit(this->*changed)(value);
}

void ProgramSettings::apply(const Settings::Values &v) {
    setHost(v.ip);
    setGatewayHost(v.ip);
    setGatewayPortText(QString::number(v.port));
    setGatewayPort(v.port);
    setWebPortText(QString::number(v.tcpPort));
    setWebPort(v.tcpPort);
    setKey(v.key);
    setStartMinimized(v.minimized);
    setBalloons(v.bubble);
    setAutostart(v.autostart);
    m_folder = v.pfad;
    setFolderText(v.pfad);
    setMail(v.mail);
    setMailtime(v.mailtime);
    setOffline(v.offline);
    setScreen(v.screen);
}

Settings::Values ProgramSettings::values() const {
    Settings::Values v;
    v.ip = m_host;
    v.tcpPort = m_webPort;
    v.port = m_gatewayPort;
    v.key = m_key;
    v.minimized = m_startMinimized;
    v.bubble = m_balloons;
    v.autostart = m_autostart;
    v.pfad = Settings::storedFolder(m_folder, m_programFolder);
    v.mail = m_mail;
    v.mailtime = m_mailtime;
    v.screen = m_screen;
    v.offline = m_offline;
    return v;
}

void ProgramSettings::setHost(const QString &host) {
    change(m_host, host, &ProgramSettings::hostChanged);
}
void ProgramSettings::setKey(const QString &key) {
    change(m_key, key, &ProgramSettings::keyChanged);
}
void ProgramSettings::setGatewayPortText(const QString &text) {
    change(m_gatewayPortText, text, &ProgramSettings::gatewayPortTextChanged);
}
void ProgramSettings::setWebPortText(const QString &text) {
    change(m_webPortText, text, &ProgramSettings::webPortTextChanged);
}
void ProgramSettings::setGatewayHost(const QString &host) {
    change(m_gatewayHost, host, &ProgramSettings::gatewayHostChanged);
}
void ProgramSettings::setGatewayPort(int port) {
    change(m_gatewayPort, port, &ProgramSettings::gatewayPortChanged);
}
void ProgramSettings::setWebPort(int port) {
    change(m_webPort, port, &ProgramSettings::webPortChanged);
}
void ProgramSettings::setBalloons(bool on) {
    change(m_balloons, on, &ProgramSettings::balloonsChanged);
}
void ProgramSettings::setStartMinimized(bool on) {
    change(m_startMinimized, on, &ProgramSettings::startMinimizedChanged);
}
void ProgramSettings::setAutostart(bool on) {
    change(m_autostart, on, &ProgramSettings::autostartChanged);
}
void ProgramSettings::setOffline(bool on) {
    change(m_offline, on, &ProgramSettings::offlineChanged);
}
void ProgramSettings::setFolderText(const QString &text) {
    change(m_folderText, text, &ProgramSettings::folderTextChanged);
}
void ProgramSettings::setMail(bool on) {
    change(m_mail, on, &ProgramSettings::mailChanged);
}
void ProgramSettings::setMailtime(const QString &minutes) {
    change(m_mailtime, minutes, &ProgramSettings::mailtimeChanged);
}
void ProgramSettings::setScreen(const QString &caption) {
    change(m_screen, caption, &ProgramSettings::screenChanged);
}

QString ProgramSettings::configurationFolder() const {
    const QString typed = Settings::configurationFolder(m_folderText, m_programFolder);
    return Settings::folderForFiles(Settings::unstorableFolder(typed, m_programFolder) ? m_folder : typed);
}

std::optional<QString> ProgramSettings::takeFolder() {
    const QString typed = Settings::configurationFolder(m_folderText, m_programFolder);
    if (std::optional<QString> problem = Settings::unstorableFolder(typed, m_programFolder)) {
        setFolderText(m_folder);
        return problem;
    }
    m_folder = typed;
    setFolderText(typed);
    return std::nullopt;
}
