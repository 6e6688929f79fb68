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

    // The menu and the wildcard texts are read on every rebuild and must outlive the popup.
    // symbolIcons gives the picture for a state icon (the program's symbol pictures by default).
    TrayPopup(const MenuList &menu, const WildcardTexts &texts, SymbolIcons symbolIcons = {},
              QObject *parent = nullptr);
    ~TrayPopup() override;

    QMenu *popupMenu() const { return PopupMenu.get(); }

    // Replaces all items by the current entries. Call after every change of the entries, their
    // values or their order.
    void make_popup();

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
};
