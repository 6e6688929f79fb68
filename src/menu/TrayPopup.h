#pragma once

#include "Captions.h"
#include "MenuCommand.h"

#include <QIcon>
#include <QObject>
#include <functional>
#include <memory>

class QMenu;

// The tray icon's context menu `PopupMenu`: one item per menu entry (that looks like one, see
// MenuList::looksLikeEntry) with its caption (value worked in by the caption rule) and its state
// icon, a separator line for a "-" caption. Each item carries the flat position of its entry as
// data; screen readers read an item by its caption.
class TrayPopup : public QObject {
    Q_OBJECT
public:
    using SymbolIcons = std::function<QIcon(int index)>;
    // The menu has no caption of its own; it is the program's menu, named as the tray names it.
    static inline const QString kAccessibleName = QStringLiteral("Quendra");
    // The title row while the link is down: the values shown are the last ones received.
    static inline const QString kOfflineTitle = QStringLiteral("Quendra – offline");
    // The one (disabled) item of an empty menu, so that a right click shows where to start.
    static inline const QString kEmptyMenu = QStringLiteral("Noch kein Menü – im Fenster unter „Menü“ anlegen");

    // The menu and the wildcard texts are read on every rebuild and must outlive the popup.
    // symbolIcons gives the picture for a state icon (the program's symbol pictures by default).
    TrayPopup(const MenuList &menu, const WildcardTexts &texts, SymbolIcons symbolIcons = {},
              QObject *parent = nullptr);
    ~TrayPopup() override;

    QMenu *popupMenu() const { return PopupMenu.get(); }

    // Replaces all items by the current entries. Call after every change of the entries, their
    // values or their order.
    void make_popup();
    // While offline, the popup starts with a disabled title row saying so; rebuilds the popup.
    void setOffline(bool offline);
    // Opens the popup at the position as the context-menu key does: the first item that can be
    // run is selected, so Enter runs it.
    void openByKeyboard(const QPoint &globalPos);

signals:
    // An item was clicked; connect to MenuExecution::OnMenuItemclick.
    void menuItemClicked(qsizetype flatPosition);
    // The menu opened or closed (polling pauses while it is open).
    void menuOpenChanged(bool open);

private:
    const MenuList &m_menu;
    const WildcardTexts &m_texts;
    SymbolIcons m_symbolIcons;
    std::unique_ptr<QMenu> PopupMenu;
    bool m_clickHandled = false; // inside the handler of a click on one of the items
    bool m_offline = false;
};
