#pragma once

#include "MenuCommand.h"

#include <QString>

// The menu file "quendramenu.ini" in the configuration folder: one section per entry, named by
// the entry's flat position ("0", "11", "22", ...), with the keys Bezeichnung, Symbol, Typ,
// Aktion, Wert, GAN, LV, Balloon, Msg, Sound and Soundname in that order. Windows-1252 on disk.

inline const QString kMenuFileName = QStringLiteral("quendramenu.ini");
// The configuration folder text ends with its separator; the name is appended directly.
inline QString menuFilePath(const QString &configFolder) {
    return configFolder + kMenuFileName;
}

// The start-up notice for a menu file that lacks the message settings (see lacksNotificationKeys).
inline const QString kNewNotificationsNotice =
    QStringLiteral("Es gibt eine neue Funktion der Medungen!\rPrüfe die Einstellungen deiner Menüs mit Ändern");

struct MenuFileContent {
    MenuList menu;
    // Some entry's section lacks Msg, Sound or Soundname: the file comes from an older version
    // and the start-up should point the user to the new message settings.
    bool lacksNotificationKeys = false;
    // Empty unless the file exists but could not be read (the menu is then empty).
    QString errorString;
};

// Reads every section whose name is a decimal number, in ascending numeric order; a section
// without Bezeichnung (or with blanks only) produces no entry. Missing keys take their
// defaults; a Symbol that is no whole number counts as 0. The state icon starts as the Symbol.
// A missing file is an empty menu.
MenuFileContent LoadMenuFile(const QString &path);

// Writes exactly the given entries: every numerically named section is erased first, so no
// former entry survives. An empty menu leaves the file as it is (a menu that failed to load
// must not wipe the file); deleting the last entry therefore erases its section on its own
// through eraseMenuSection. The file is replaced atomically; false with *error naming the file,
// also when the file exists but could not be read (it is then not written over).
bool saveMenuFile(const QString &path, const MenuList &menu, QString *error = nullptr);

// Erases the section of the entry at the given flat position and saves atomically; false with
// *error naming the file when it cannot be read or written.
bool eraseMenuSection(const QString &path, qsizetype flatPosition, QString *error = nullptr);
