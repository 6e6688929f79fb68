#include "ProgramWiring.h"

#include "AppCore.h"
#include "AutomationWiring.h"
#include "CatalogueController.h"
#include "ConsoleSession.h"
#include "ConsoleWindow.h"
#include "Dialogs.h"
#include "DropTargets.h"
#include "LinkStateDisplay.h"
#include "LoadReplacePanel.h"
#include "MailWiring.h"
#include "MainWindow.h"
#include "MenuEditorPanel.h"
#include "MenuExecution.h"
#include "MenuFile.h"
#include "MenuTreeModel.h"
#include "MenuValueTarget.h"
#include "Notifications.h"
#include "ScreenSaverPanel.h"
#include "SettingsPanel.h"
#include "TrayPopup.h"

#include <QMenu>
#include <QNetworkAccessManager>
#include <QProgressBar>
#include <QTreeView>

namespace {
// Runs a callback for every decoded line, after the targets registered before it.
class AfterValue : public ValueTarget {
public:
    explicit AfterValue(std::function<void()> callback) : m_callback(std::move(callback)) {}
    void onValue(const DecodedLine &, bool) override { m_callback(); }

private:
    std::function<void()> m_callback;
};
} // namespace

ProgramWiring::ProgramWiring(AppCore &core, LinkTimings timings, QObject *parent)
    : QObject(parent), m_core(core), m_timings(timings), m_menu(std::make_unique<MenuList>()) {
    AppHooks &hooks = core.hooks;
    hooks.windowCreated = [this](MainWindow &window) {
        attach(window);
    };
    hooks.loadMenu = [this](const QString &folder) {
        return loadMenu(folder);
    };
    hooks.saveMenu = [this](const QString &folder) {
        return saveMenu(folder);
    };
    hooks.loadMail = [this](const QString &folder) {
        m_mail->load(folder);
    };
    hooks.saveMail = [this](const QString &folder) {
        return m_mail->save(folder);
    };
    hooks.loadLoadReplace = [this](const QString &folder) {
        m_automations->loadLoadReplace(folder);
    };
    hooks.saveLoadReplace = [this](const QString &folder) {
        return m_automations->saveLoadReplace(folder);
    };
    hooks.busMonitorNote = [this](const QString &text) {
        m_link->busMonitor().insertTop(text);
    };
    hooks.firstConnection = [this](std::function<void(int)> progress, std::function<void()> done) {
        m_link->startupConnect(std::move(progress), [done = std::move(done)](bool) { done(); });
    };
    hooks.startPolling = [this] {
        m_link->startPolling();
    };
    hooks.toolWindowsCreated = [this] {
        m_popup->make_popup();
        m_window->consoleWindow()->setSession(m_console.get());
    };
    hooks.disconnect = [this] {
        m_link->closeLink();
        // The saves come next; a value whose message box is still open is already received.
        m_menuTarget->storePending();
    };
}

ProgramWiring::~ProgramWiring() {
    // The editor works on the menu and the model that go with this wiring.
    delete m_menuEditor;
    // The dispatch must not call into the menu's parts while they go.
    if (m_link) {
        m_link->dispatch().removeTarget(m_menuTarget.get());
        m_link->dispatch().removeTarget(m_treeRefresh.get());
        if (m_automations) {
            m_link->dispatch().removeTarget(&m_automations->screenSaverTarget());
            m_link->dispatch().removeTarget(&m_automations->loadReplaceTarget());
        }
        m_link->dispatch().setPopupRebuild({});
    }
}

const MenuList &ProgramWiring::menu() const {
    return *m_menu;
}

MenuEditorPanel *ProgramWiring::menuEditor() const {
    return m_menuEditor;
}

void ProgramWiring::attach(MainWindow &window) {
    m_window = &window;
    const PlatformServices &services = m_core.services();
    SettingsPanel *settings = window.settingsPanel();

    m_link = std::make_unique<LinkController>(window, *services.tray, *services.dialogs, m_timings);
    GatewayLink *gateway = &m_link->link();
    connect(settings, &SettingsPanel::gatewayHostChanged, gateway, &GatewayLink::setHost);
    connect(settings, &SettingsPanel::gatewayPortChanged, gateway, &GatewayLink::setPort);
    connect(&window, &MainWindow::connectButtonClicked, m_link.get(), &LinkController::ovconnectbtnClick);
    connect(&window, &MainWindow::menuOpenChanged, m_link.get(), &LinkController::setMenuOpen);
    window.setBusMonitorModel(&m_link->busMonitor());

    m_notifications = std::make_unique<Notifications>(*m_menu, m_core.wildcardTexts(), *services.tray,
                                                      *services.dialogs, *services.sounds);
    m_menuTarget = std::make_unique<MenuValueTarget>(*m_menu, *m_notifications,
                                                     [settings] { return settings->balloonsEnabled(); });
    m_treeModel = std::make_unique<MenuTreeModel>(*m_menu);
    m_treeRefresh = std::make_unique<AfterValue>([this] {
        if (m_treeRefreshPosted)
            return;
        m_treeRefreshPosted = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_treeRefreshPosted = false;
                m_treeModel->refreshValues();
            },
            Qt::QueuedConnection);
    });
    m_popup = std::make_unique<TrayPopup>(*m_menu, m_core.wildcardTexts());
    m_execution = std::make_unique<MenuExecution>(*m_menu, *m_link, *services.dialogs);

    attachAutomations(window);
    // Every value reaches the screen saver first, then the menu, then Load & Replace.
    ValueDispatch &dispatch = m_link->dispatch();
    dispatch.addTarget(&m_automations->screenSaverTarget());
    dispatch.addTarget(m_menuTarget.get());
    dispatch.addTarget(m_treeRefresh.get());
    dispatch.addTarget(&m_automations->loadReplaceTarget());
    dispatch.setPopupRebuild([this] { m_popup->valuesChanged(); });

    window.setTrayPopup(m_popup->popupMenu());
    connect(m_popup.get(), &TrayPopup::menuItemClicked, m_execution.get(), &MenuExecution::OnMenuItemclick);

    WorkTabs *tabs = window.workTabs();
    // The "Menü" tab previews the popup on a right click, as the tray shows it.
    connect(tabs, &WorkTabs::menuPreviewRequested, m_popup.get(),
            [this](const QPoint &globalPos) { m_popup->popupMenu()->popup(globalPos); });
    connect(tabs, &WorkTabs::menuKeyboardPreviewRequested, m_popup.get(), &TrayPopup::openByKeyboard);
    m_linkState =
        std::make_unique<LinkStateDisplay>(*m_link, window, *services.tray, *m_popup, m_timings.keyRefusalWindowMs);
    attachCatalogue(window);
    attachMenuEditor(window);
    m_mail = std::make_unique<MailWiring>(m_core, window, *m_link);
}

void ProgramWiring::attachMenuEditor(MainWindow &window) {
    const PlatformServices &services = m_core.services();
    SettingsPanel *settings = window.settingsPanel();
    MenuEditor::Hooks hooks{
        [this, dialogs = services.dialogs](const QString &gan) { return getlv(m_link->busMonitor(), gan, *dialogs); },
        [&window] { window.save_blist(); },
        [this] { m_popup->make_popup(); },
        [settings] { return menuFilePath(settings->configurationFolder()); },
    };
    m_menuEditor = new MenuEditorPanel(*m_menu, *m_treeModel, *services.dialogs, *services.sounds, std::move(hooks));
    window.setMenuEditor(m_menuEditor);
    MenuEditorPanel *editor = m_menuEditor;
    window.dropTargets().add(
        editor, MenuEditorPanel::kDropTargetCaption,
        [editor](const DraggedObject &object) { return editor->dropObject(object); },
        [editor] { return editor->dropRefusal(); });
}

bool ProgramWiring::loadMenu(const QString &folder) {
    MenuFileContent content = LoadMenuFile(menuFilePath(folder));
    if (!content.errorString.isEmpty())
        m_core.services().dialogs->error(content.errorString);
    *m_menu = std::move(content.menu);
    m_treeModel->reload();
    // No popup item may keep pointing at an entry of the menu as it was before.
    m_popup->make_popup();
    return content.lacksNotificationKeys;
}

bool ProgramWiring::saveMenu(const QString &folder) {
    QString error;
    if (saveMenuFile(menuFilePath(folder), *m_menu, &error))
        return true;
    m_core.services().dialogs->error(error);
    return false;
}

void ProgramWiring::attachCatalogue(MainWindow &window) {
    const PlatformServices &services = m_core.services();
    // The copy of the catalogue lives in the program folder; the console looks objects up in it.
    const QString copyFile = m_core.paths().file(QStringLiteral("cobjects.xml"));
    SettingsPanel *settings = window.settingsPanel();
    CatalogueController::Hooks hooks{
        [&window] { return window.hostText(); },
        [settings] { return settings->webPortText(); },
        // A load pauses polling; afterwards it runs again, also when it was off before.
        [this](bool paused) {
            if (paused)
                m_link->stopPolling();
            else
                m_link->startPolling();
        },
        [&window](const QString &text) { window.setStatusText(text); },
    };
    m_network = std::make_unique<QNetworkAccessManager>();
    m_catalogue = std::make_unique<CatalogueController>(*window.catalogueColumn(), *services.dialogs, *m_network,
                                                        copyFile, std::move(hooks));
    window.catalogueColumn()->attach(*m_catalogue);
    m_console = std::make_unique<ConsoleSession>(*m_link, *services.dialogs, copyFile);
}

void ProgramWiring::attachAutomations(MainWindow &window) {
    const PlatformServices &services = m_core.services();
    TabSettings &tabSettings = m_core.tabSettings();
    SettingsPanel *settings = window.settingsPanel();
    m_automations = std::make_unique<AutomationWiring>(
        AutomationWiring::Context{*services.dialogs, *services.screenSaver, m_link->busMonitor(),
                                  [settings] { return settings->configurationFolder(); },
                                  [&tabSettings] {
                                      return tabSettings.screen();
                                  }});

    WorkTabs *tabs = window.workTabs();
    LoadReplacePanel *loadReplace = m_automations->createLoadReplacePanel();
    tabs->setLoadReplacePanel(loadReplace);
    window.dropTargets().add(
        loadReplace, LoadReplacePanel::kDropTargetCaption,
        [loadReplace](const DraggedObject &object) { return loadReplace->dropObjectOnList(object); });
    auto *screenSaver = new ScreenSaverPanel;
    screenSaver->setBinding(tabSettings.screen());
    connect(&tabSettings, &TabSettings::screenChanged, screenSaver, &ScreenSaverPanel::setBinding);
    connect(screenSaver, &ScreenSaverPanel::bindingChanged, &tabSettings, &TabSettings::setScreen);
    tabs->setSystemPanel(screenSaver);
    window.dropTargets().add(
        screenSaver, ScreenSaverPanel::kDropTargetCaption,
        [screenSaver](const DraggedObject &object) { return screenSaver->dropObjectOnScreenSaver(object); });
}
