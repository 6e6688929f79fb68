#pragma once

#include "BrowserHost.h"
#include "Captions.h"
#include "PlatformServices.h"
#include "ProgramPaths.h"
#include "Settings.h"
#include "TabSettings.h"

#include <QString>
#include <functional>

class MainWindow;

// Where the subsystems plug into the start-up and the closing sequence. Every slot may stay empty;
// an empty slot is skipped. `folder` is the configuration folder as the settings panel shows it.
struct AppHooks {
    // The main window exists (its settings are not read yet): the subsystems attach to it.
    std::function<void(MainWindow &window)> windowCreated;

    // Start-up, loading the user files in this order. loadMenu answers whether an entry lacks one
    // of the keys "Msg", "Sound" or "Soundname" (then the start-up notice is shown); "Neu laden"
    // calls it too and ignores the answer.
    std::function<bool(const QString &folder)> loadMenu;
    std::function<void(const QString &folder)> loadLoadReplace;
    std::function<void(const QString &folder)> loadMail;
    // A line of the program's own for the bus monitor (a configuration folder that is not there).
    std::function<void(const QString &text)> busMonitorNote;

    // The first connection. Runs after the user files are loaded; progress moves the splash
    // window's progress bar; the start-up goes on when it calls done (whatever the outcome).
    std::function<void(std::function<void(int position)> progress, std::function<void()> done)> firstConnection;
    // Gateway polling on, after the first connection whatever its outcome.
    std::function<void()> startPolling;
    // The console, the web-query checker and the wildcard texts dialog exist; the tray popup is
    // built for the first time, with the values of the first connection.
    std::function<void()> toolWindowsCreated;

    // Closing: first the link is closed, then the files are saved in this order after the
    // settings: the menu file (second half of save_blist), Load & Replace, mail. Each save tells the
    // user itself when it fails, and answers whether the file was written.
    std::function<void()> disconnect;
    std::function<bool(const QString &folder)> saveMenu;
    std::function<bool(const QString &folder)> saveLoadReplace;
    std::function<bool(const QString &folder)> saveMail;
};

// What the application is made of apart from its windows: the program's folders, the platform
// services and the models the panels share. The windows get it and hand its parts to their panels.
class AppCore {
public:
    // helpFile: the full path of the German HTML help ("help/quendra.html" beside the program file).
    AppCore(ProgramPaths paths, PlatformServices services, QString helpFile);

    const ProgramPaths &paths() const { return m_paths; }
    const PlatformServices &services() const { return m_services; }
    const QString &helpFile() const { return m_helpFile; }

    TabSettings &tabSettings() { return m_tabSettings; }
    // The six wildcard words the caption rule uses, loaded at start-up.
    WildcardTexts &wildcardTexts() { return m_wildcardTexts; }

    AppHooks hooks;
    // The web-query checker's browser; empty: Qt WebEngine, started when the checker is first shown.
    BrowserFactory browsers;

private:
    ProgramPaths m_paths;
    PlatformServices m_services;
    QString m_helpFile;
    TabSettings m_tabSettings;
    WildcardTexts m_wildcardTexts;
};
