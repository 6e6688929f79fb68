#include "MenuWiring.h"

#include "CheckedFileWriter.h"
#include "Dialogs.h"
#include "Frame.h"
#include "LinkAccess.h"
#include "MenuEditorPanel.h"
#include "MenuExecution.h"
#include "MenuFile.h"
#include "MenuTreeModel.h"
#include "MenuValueTarget.h"
#include "Notifications.h"
#include "ObjectHooks.h"
#include "PlatformServices.h"
#include "ProgramSettings.h"
#include "TrayPopup.h"

#include <QMenu>
#include <utility>

namespace {
// Runs its callback once after the lines taken together, when a value came among them.
class AfterValues : public ValueTarget {
public:
    explicit AfterValues(std::function<void()> callback) : m_callback(std::move(callback)) {}
    void onValue(const DecodedLine &, bool) override { m_received = true; }
    void afterLines() override {
        if (std::exchange(m_received, false))
            m_callback();
    }

private:
    std::function<void()> m_callback;
    bool m_received = false;
};
} // namespace

MenuWiring::MenuWiring(const WildcardTexts &texts, QObject *parent)
    : QObject(parent), m_texts(texts), m_menu(std::make_unique<MenuList>()) {
}

MenuWiring::~MenuWiring() {
    // The editor works on the menu and the model held here.
    delete m_editor;
}

void MenuWiring::attach(Frame &frame) {
    m_frame = &frame;
    const PlatformServices &services = frame.services();
    LinkAccess &link = frame.link();
    ProgramSettings &settings = frame.settings();

    m_notifications =
        std::make_unique<Notifications>(*m_menu, m_texts, *services.tray, *services.dialogs, *services.sounds);
    m_menuTarget = std::make_unique<MenuValueTarget>(
        *m_menu, *m_notifications, [&settings] { return settings.balloons(); },
        [&frame](const QString &gan) { return frame.objects().mayNotify(gan); });
    m_treeModel = std::make_unique<MenuTreeModel>(*m_menu);
    // The bus's values reach `btree` in one refresh per slice of lines.
    m_treeRefresh = std::make_unique<AfterValues>([this] { m_treeModel->refreshValues(); });
    m_popup = std::make_unique<TrayPopup>(*m_menu, m_texts);
    m_execution = std::make_unique<MenuExecution>(*m_menu, link.commands(), *services.dialogs);

    link.addValueTarget(m_menuTarget.get());
    link.addValueTarget(m_treeRefresh.get());
    link.setPopupRebuild([this] { m_popup->valuesChanged(); });
    // The popup's title row says when the values shown are the last ones received.
    m_popup->setOffline(!link.isOnline());
    connect(&link, &LinkAccess::onlineChanged, m_popup.get(), [this](bool online) { m_popup->setOffline(!online); });

    frame.setTrayPopup(m_popup->popupMenu());
    // An entry's context menu offers what the subsystems do with its object (mute it, …).
    m_popup->setEntryMenu([&frame](QMenu &menu, const QString &gan) {
        for (const ObjectHooks::Action &action : frame.objects().actions()) {
            if (action.available && !action.available(gan))
                continue;
            QAction *item = menu.addAction(action.caption);
            item->setObjectName(action.name);
            connect(item, &QAction::triggered, item, [run = action.run, gan] { run(gan); });
        }
    });
    connect(m_popup.get(), &TrayPopup::menuItemClicked, m_execution.get(), &MenuExecution::OnMenuItemclick);
    // The "Menü" tab previews the popup as the tray shows it.
    frame.onPageContextMenu(WorkPage::Menu, [this](const QPoint &globalPos, bool byKeyboard) {
        if (byKeyboard)
            m_popup->openByKeyboard(globalPos);
        else
            m_popup->popupMenu()->popup(globalPos);
    });
    attachEditor();
}

void MenuWiring::attachEditor() {
    Frame &frame = *m_frame;
    const PlatformServices &services = frame.services();
    MenuEditor::Hooks hooks{
        [&frame](const QString &gan) { return frame.link().lastValue(gan); },
        [this] {
            // `save_blist`: the menu is saved also when the settings were not.
            m_frame->saveSettings();
            save(m_frame->settings().configurationFolder());
        },
        [this] { m_popup->make_popup(); },
        [&frame] { return menuFilePath(frame.settings().configurationFolder()); },
    };
    m_editor = new MenuEditorPanel(*m_menu, *m_treeModel, *services.dialogs, *services.sounds, std::move(hooks));
    frame.placeOnTab(WorkPage::Menu, m_editor);
    MenuEditorPanel *editor = m_editor;
    frame.addDropTarget(
        editor, MenuEditorPanel::kDropTargetCaption,
        [editor](const DraggedObject &object) { return editor->dropObject(object); },
        [editor] { return editor->dropRefusal(); });
}

bool MenuWiring::read(const QString &folder) {
    MenuFileContent content = LoadMenuFile(menuFilePath(folder));
    if (!content.errorString.isEmpty())
        m_frame->services().dialogs->error(content.errorString);
    *m_menu = std::move(content.menu);
    m_treeModel->reload();
    // No popup item may be shown pointing at an entry of the menu as it was before; a closed popup
    // is built anew when it opens.
    m_popup->entriesReplaced();
    return content.lacksNotificationKeys;
}

void MenuWiring::load(const QString &folder) {
    CheckedFileWriter::removeLeftovers({menuFilePath(folder)});
    if (read(folder))
        m_frame->addStartupNotice(kNewNotificationsNotice);
}

void MenuWiring::reload(const QString &folder) {
    read(folder);
}

void MenuWiring::started() {
    m_popup->make_popup();
}

void MenuWiring::close() {
    m_menuTarget->storePending();
}

bool MenuWiring::save(const QString &folder) {
    QString error;
    if (saveMenuFile(menuFilePath(folder), *m_menu, &error))
        return true;
    m_frame->services().dialogs->error(error);
    return false;
}
