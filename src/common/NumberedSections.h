#pragma once

#include "IniFieldTable.h"
#include "IniFile.h"

#include <QStringList>

// List files store one entry per section, named by the entry's flat position ("0", "11", ...).

// The sections whose names are decimal numbers, in ascending numeric order; numbers of any length
// compare without overflowing.
QStringList numberedSections(const IniFile &ini);

// Writes exactly the list's entries, each numbered section being erased first, so no former entry
// survives. An empty list leaves the file as it is (a list that failed to load must not wipe the
// file); deleting the last entry erases its section through eraseNumberedSection. Replaced
// atomically; false with *error naming the file, also when the file exists but could not be read.
template <typename List, typename Entry>
bool saveNumberedSections(const QString &path, const List &list, const IniFieldTable<Entry> &fields, QString *error) {
    if (list.isEmpty())
        return true;
    IniFile ini(path);
    for (const QString &section : numberedSections(ini))
        ini.eraseSection(section);
    for (qsizetype k = 0; k < list.size(); ++k)
        fields.write(ini, QString::number(List::flatPosition(k)), list.at(k));
    if (ini.save())
        return true;
    if (error)
        *error = ini.errorString();
    return false;
}

// Erases the section of the entry at the given flat position and saves atomically; false with
// *error naming the file when it cannot be read or written.
bool eraseNumberedSection(const QString &path, qsizetype flatPosition, QString *error);
