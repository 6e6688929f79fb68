#pragma once

#include "LoadReplaceDownloads.h"
#include "LoadReplaceEntry.h"
#include "ScreenSaverValue.h"

#include <QNetworkAccessManager>
#include <QString>
#include <functional>
#include <memory>

class BusMonitor;
class Dialogs;
class LoadReplacePanel;
class ScreenSaverControl;

// Puts the automations into the program: the Load & Replace rules with their file, downloads and
// editor, and the screen-saver control's value rule. The program registers the two value targets
// with the dispatch (the screen saver before the menu, Load & Replace after it) and puts the panels
// on their tabs.
class AutomationWiring {
public:
    struct Context {
        Dialogs &dialogs;
        ScreenSaverControl &screenSaver;
        BusMonitor &busMonitor;
        // The configuration folder as the settings show it now, ending in its separator.
        std::function<QString()> configurationFolder;
        // The screen-saver binding as the settings hold it ("Screen").
        std::function<QString()> screenBinding;
    };

    explicit AutomationWiring(Context context, DownloadLimits limits = {});
    ~AutomationWiring();

    ValueTarget &screenSaverTarget() { return m_screenSaverValue; }
    ValueTarget &loadReplaceTarget() { return *m_downloads; }

    // The "Load && Replace" tab's editor over the rules, for the caller to own.
    LoadReplacePanel *createLoadReplacePanel();

    // `load_rlist` at start-up and `save_rlist` at the end, from and to the folder's file. The load
    // also removes what an interrupted download left beside the rules' files; the save answers
    // whether the file was written (a failure is reported to the user).
    void loadLoadReplace(const QString &folder);
    bool saveLoadReplace(const QString &folder);

private:
    Context m_context;
    LoadReplaceList m_rules;
    QNetworkAccessManager m_network;
    std::unique_ptr<LoadReplaceDownloads> m_downloads;
    ScreenSaverValue m_screenSaverValue;
    LoadReplacePanel *m_loadReplacePanel = nullptr; // owned by its tab
};
