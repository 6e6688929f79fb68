#pragma once

#include "Captions.h"
#include "MenuCommand.h"
#include "MenuEditorPanel.h"
#include "Subsystem.h"

#include <QObject>
#include <QPointer>
#include <memory>

class Frame;
class MenuExecution;
class MenuTreeModel;
class MenuValueTarget;
class Notifications;
class TrayPopup;
class ValueTarget;

// The tray menu in the program: the entries with their file "quendramenu.ini", the values received
// (notifications, state icons), the tray popup with its clicks, and the editor on the tab "Menü".
class MenuWiring : public QObject, public Subsystem {
    Q_OBJECT
public:
    // texts: the wildcard words the captions show; they must outlive this object.
    explicit MenuWiring(const WildcardTexts &texts, QObject *parent = nullptr);
    ~MenuWiring() override;

    const MenuList &menu() const { return *m_menu; }
    // Present once attached.
    TrayPopup *popup() const { return m_popup.get(); }
    MenuEditorPanel *editor() const { return m_editor; }

    void attach(Frame &frame) override;
    // `load_blist`: an entry that lacks one of the keys "Msg", "Sound" or "Soundname" makes the
    // start-up end with the notice about the new notifications.
    void load(const QString &folder) override;
    // "Neu laden": the file again, and the popup from it (when it opens, if it is closed).
    void reload(const QString &folder) override;
    void started() override;
    // A value whose message box is still open is already received: the saves keep it.
    void close() override;
    // The second half of `save_blist`.
    bool save(const QString &folder) override;

private:
    bool read(const QString &folder);
    void attachEditor();

    const WildcardTexts &m_texts;
    Frame *m_frame = nullptr;
    std::unique_ptr<MenuList> m_menu;
    std::unique_ptr<Notifications> m_notifications;
    std::unique_ptr<MenuValueTarget> m_menuTarget;
    std::unique_ptr<MenuTreeModel> m_treeModel;
    std::unique_ptr<ValueTarget> m_treeRefresh;
    std::unique_ptr<TrayPopup> m_popup;
    std::unique_ptr<MenuExecution> m_execution;
    // Owned by its tab; it works on the menu, the tree model and the popup held here.
    QPointer<MenuEditorPanel> m_editor;
};
