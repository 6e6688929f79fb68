#pragma once

#include "Captions.h"
#include "ConsoleWiring.h"
#include "FrameParts.h"
#include "HistoryWiring.h"
#include "LinkWiring.h"
#include "LoadReplaceWiring.h"
#include "MailWiring.h"
#include "MenuWiring.h"
#include "ReportingServices.h"
#include "ScreenSaverWiring.h"
#include "WebCheckWiring.h"
#include "WildcardWordsWiring.h"

#include <QObject>
#include <memory>

class AppCore;
class CatalogueController;
class MenuEditorPanel;
class QNetworkAccessManager;
class TrayPopup;

// The one place the program is composed: the frame's parts (the gateway link with its bus monitor
// and value dispatch, the catalogue fetch on the object tree) and the subsystems in their order.
// The order of the list is the order of the value targets (the screen saver, the menu, Load &
// Replace), of the user files at start-up and at the end (menu, Load & Replace, mail) and of the
// menu bar's entries (Console, Webchecker, Einstellungen, Verlauf). The history only observes: it
// comes last.
class ProgramWiring : public QObject, public FrameParts {
    Q_OBJECT
public:
    // Puts the parts and the subsystems into the core; they attach when the main window exists.
    explicit ProgramWiring(AppCore &core, LinkTimings timings = {}, QObject *parent = nullptr);
    ~ProgramWiring() override;

    // The link's intervals and time-outs, as given at construction.
    const LinkTimings &timings() const { return m_link.timings(); }
    // Present once the main window was created.
    LinkController *link() const { return m_link.controller(); }
    CatalogueController *catalogue() const { return m_catalogue.get(); }
    TrayPopup *popup() const { return m_menu.popup(); }
    const MenuList &menu() const { return m_menu.menu(); }
    MenuEditorPanel *menuEditor() const { return m_menu.editor(); }
    const WildcardTexts &wildcardTexts() const { return m_wildcardTexts; }
    const MailWiring *mail() const { return &m_mail; }
    const LoadReplaceWiring *loadReplace() const { return &m_loadReplace; }
    const ConsoleWiring *console() const { return &m_console; }
    HistoryWiring *history() { return &m_history; }

    // FrameParts
    void attach(MainWindow &window) override;
    LinkAccess &linkAccess() override { return m_link; }
    void connectAtStart(std::function<void(int position)> progress, std::function<void()> done) override;
    void startPolling() override;
    void closeLink() override;

private:
    void attachCatalogue(MainWindow &window);

    AppCore &m_core;
    WildcardTexts m_wildcardTexts;
    LinkWiring m_link;
    ReportingServices m_catalogueServices;
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::unique_ptr<CatalogueController> m_catalogue;
    // The subsystems, in the order of the list.
    ScreenSaverWiring m_screenSaver;
    MenuWiring m_menu;
    LoadReplaceWiring m_loadReplace;
    MailWiring m_mail;
    ConsoleWiring m_console;
    WebCheckWiring m_webCheck;
    WildcardWordsWiring m_wildcardWords;
    HistoryWiring m_history;
};
