#pragma once

#include <QString>

class Frame;
class IniFile;

// A part of the program that plugs into the frame (the main window, the server link, the tray):
// the menu, Load & Replace, mail, the tool windows. The program keeps its subsystems in one ordered
// list (ProgramWiring); the frame calls each of them in that order at every step below, so the
// order of the list is the order of the value targets, the menu-bar entries, the start-up's
// loads and the closing saves. Every step but attach may be left out.
class Subsystem {
public:
    virtual ~Subsystem() = default;

    // The main window exists; the settings are not read yet. The subsystem creates its panels and
    // puts them, its drop targets, value targets and menu-bar entries into the frame, which lives
    // until the subsystem goes.
    virtual void attach(Frame &frame) = 0;
    // The start-up has read the settings file "quendra.ini": a subsystem with a section of its
    // own there takes it now, before any file is loaded.
    virtual void readSettings(const IniFile & /*settings*/) {}
    // The start-up loads the user files from the configuration folder (ending in its separator).
    // Nothing is being written yet, so the subsystem first removes the temporary files an
    // interrupted save left beside its own files (CheckedFileWriter::removeLeftovers); a file that
    // cannot be read is said in a box and never written over.
    virtual void load(const QString & /*folder*/) {}
    // "Neu laden" under the configuration folder: the subsystem reads its files again.
    virtual void reload(const QString & /*folder*/) {}
    // The start-up is over (the first connection made or given up, polling on): the tool windows
    // are created, the tray popup shows the values received.
    virtual void started() {}
    // The program is closing and the link is closed: the subsystem ends what is under way so that
    // the saves keep what was received, and hides its windows.
    virtual void close() {}
    // The closing saves, after the settings, in the order of the list; every save runs whatever
    // the one before did. False when a file could not be written (the subsystem has said so in a
    // box); the program then ends with its failure exit code.
    virtual bool save(const QString & /*folder*/) { return true; }
};
