#pragma once

#include <QString>
#include <optional>

class IniFile;

// The program's own settings in "quendra.ini": section [Orvanel]. The wildcard words of [TEXTE]
// are the tray menu's (WildcardTextsFile).
namespace Settings {
inline const QString kSection = QStringLiteral("Orvanel");

namespace Key {
inline const QString IP = QStringLiteral("IP");
inline const QString Port = QStringLiteral("Port");
inline const QString TCPPort = QStringLiteral("TCPPort");
inline const QString Key = QStringLiteral("Key");
inline const QString Minimized = QStringLiteral("Minimized");
inline const QString Bubble = QStringLiteral("Bubble");
inline const QString Auto = QStringLiteral("Auto");
inline const QString Pfad = QStringLiteral("Pfad");
inline const QString Mail = QStringLiteral("Mail");
inline const QString Mailtime = QStringLiteral("Mailtime");
inline const QString Screen = QStringLiteral("Screen");
inline const QString Offline = QStringLiteral("Offline");
} // namespace Key

// Every key of [Orvanel]; the defaults are those of a first start.
struct Values {
    QString ip = QStringLiteral("0.0.0.0");
    int port = 0;    // KO gateway
    int tcpPort = 0; // web port
    QString key;
    bool minimized = false;
    bool bubble = false;
    bool autostart = false;
    QString pfad; // the program folder when empty (the program stores it so, see storedFolder)
    bool mail = false;
    QString mailtime = QStringLiteral("5");
    QString screen = QStringLiteral("Drag&&Drop");
    bool offline = false;
};

// Reads [Orvanel]; a missing or unreadable key gives its default. "Pfad" is given the folder rule
// of configurationFolder().
Values read(const IniFile &ini, const QString &programFolder);
// Writes all twelve keys in the order in which the program stores them.
void write(IniFile &ini, const Values &values);

// The configuration folder as the program uses it: the file names are appended to it directly,
// so it ends in a separator ("/" or a typed "\"); an empty text stands for the program folder.
QString configurationFolder(const QString &text, const QString &programFolder);
// The folder the user files' names are appended to: a trailing "\\" is a separator on every system.
QString folderForFiles(const QString &folder);
// The "Pfad" value for a folder: empty for the program folder, so the setting follows the program
// and never holds a home folder's name the file's code page may lack.
QString storedFolder(const QString &folder, const QString &programFolder);
// The error text for a folder whose stored value Windows-1252 cannot hold (it would come back as
// another folder), or nothing when it can be stored.
std::optional<QString> unstorableFolder(const QString &folder, const QString &programFolder);

// A whole number in decimal, as the port edits and "Mailtime" hold it.
std::optional<int> wholeNumber(const QString &text);
// The error text for a text that is no whole number.
QString notAWholeNumber(const QString &text);
} // namespace Settings
