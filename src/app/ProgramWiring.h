#pragma once

#include "LinkController.h"

#include <QObject>
#include <QPointer>
#include <memory>

class AppCore;
class AutomationWiring;
class CatalogueController;
class ConsoleSession;
class LinkStateDisplay;
class QNetworkAccessManager;
class MailWiring;
class MainWindow;
class MenuEditorPanel;
class MenuExecution;
class MenuTreeModel;
class MenuValueTarget;
class Notifications;
class TrayPopup;
class MenuList;

// Puts the subsystems into the program: the gateway link with its bus monitor and value dispatch,
// the tray menu with its file, popup, notifications and clicks, and mail polling. It fills the start-up's and the
// closing sequence's hooks and, once the main window exists, connects both to it.
class ProgramWiring : public QObject {
    Q_OBJECT
public:
    explicit ProgramWiring(AppCore &core, LinkTimings timings = {}, QObject *parent = nullptr);
    ~ProgramWiring() override;

    // The link's intervals and time-outs, as given at construction.
    const LinkTimings &timings() const { return m_timings; }
    // Present once the main window was created.
    LinkController *link() const { return m_link.get(); }
    TrayPopup *popup() const { return m_popup.get(); }
    const MenuList &menu() const;
    CatalogueController *catalogue() const { return m_catalogue.get(); }
    // The "Menü" tab's editor, present once the main window was created.
    MenuEditorPanel *menuEditor() const;
    MailWiring *mail() const { return m_mail.get(); }

private:
    void attach(MainWindow &window);
    bool loadMenu(const QString &folder);
    bool saveMenu(const QString &folder);
    void attachCatalogue(MainWindow &window);
    void attachMenuEditor(MainWindow &window);
    void attachAutomations(MainWindow &window);

    AppCore &m_core;
    MainWindow *m_window = nullptr;
    LinkTimings m_timings;
    std::unique_ptr<MenuList> m_menu;
    std::unique_ptr<LinkController> m_link;
    std::unique_ptr<Notifications> m_notifications;
    std::unique_ptr<MenuValueTarget> m_menuTarget;
    std::unique_ptr<TrayPopup> m_popup;
    std::unique_ptr<LinkStateDisplay> m_linkState;
    std::unique_ptr<MenuExecution> m_execution;
    std::unique_ptr<AutomationWiring> m_automations;
    std::unique_ptr<MenuTreeModel> m_treeModel;
    std::unique_ptr<ValueTarget> m_treeRefresh;
    // Coalesces the bus's values into one refresh of `btree` per turn of the event loop.
    bool m_treeRefreshPosted = false;
    std::unique_ptr<QNetworkAccessManager> m_network;
    std::unique_ptr<CatalogueController> m_catalogue;
    std::unique_ptr<ConsoleSession> m_console;
    // Owned by its tab; it works on the menu, the tree model and the popup held here.
    QPointer<MenuEditorPanel> m_menuEditor;
    std::unique_ptr<MailWiring> m_mail;
};
