#pragma once

#include "Captions.h"
#include "MenuCommand.h"

#include <QIcon>
#include <QObject>
#include <functional>
#include <memory>

class QAction;
class QMenu;

// The tray icon's context menu `PopupMenu`: one item per menu entry (that looks like one, see
// MenuList::looksLikeEntry) with its caption (value worked in by the caption rule) and its state
// icon, a separator line for a "-" caption. Each item carries the flat position of its entry as
// data; screen readers read an item by its caption.
//
// A closed popup is not rebuilt for every value: a busy bus brings values many times a second, and
// the popup is open a few seconds a day. A value only marks it stale; it is built when it opens,
// or when popupMenu() is asked for it. An open popup shows every value at once.
class TrayPopup : public QObject {
    Q_OBJECT
public:
    using SymbolIcons = std::function<QIcon(int index)>;
    // Fills the context menu of an entry bound to the object (by its GAN); left empty, none opens.
    using EntryMenu = std::function<void(QMenu &menu, const QString &gan)>;
    // The menu has no caption of its own; it is the program's menu, named as the tray names it.
    static inline const QString kAccessibleName = QStringLiteral("Quendra");
    // The title row while the link is down: the values shown are the last ones received.
    static inline const QString kOfflineTitle = QStringLiteral("Quendra – offline");
    // The one (disabled) item of an empty menu, so that a right click shows where to start.
    static inline const QString kEmptyMenu = QStringLiteral("Noch kein Menü – im Fenster unter „Menü“ anlegen");
    // The most entries the popup shows. Qt looks through all items of a menu for every one added, so
    // building it grows with the square of their count, and a popup of thousands of items cannot
    // be scrolled through anyway. Entries beyond are left out; a last (disabled) row says how many.
    static constexpr qsizetype kMaxItems = 5000;
    static inline const QString kMoreEntries =
        QStringLiteral("… und %1 weitere Einträge – das Popup zeigt höchstens %2");

    // The menu and the wildcard texts are read on every rebuild and must outlive the popup.
    // symbolIcons gives the picture for a state icon (the program's symbol pictures by default).
    TrayPopup(const MenuList &menu, const WildcardTexts &texts, SymbolIcons symbolIcons = {},
              QObject *parent = nullptr);
    ~TrayPopup() override;

    // The popup with its items up to date.
    QMenu *popupMenu() const;

    // Replaces all items by the current entries. Call after every change of the entries or their
    // order (loading, editing, the wildcard texts).
    void make_popup();
    // The entries were replaced all at once (read from the file again): like a value, this builds
    // an open popup at once and a closed one when it opens, so a large menu is not built twice.
    void entriesReplaced();
    // The entries' values or state icons changed: the items show it at once while the popup is
    // open, else when it opens.
    void valuesChanged();
    // While offline, the popup starts with a disabled title row saying so (built like a value's
    // change: at once while open, else when it opens; its accessible name changes at once).
    void setOffline(bool offline);
    // Opens the popup at the position as the context-menu key does: the first item that can be
    // run is selected, so Enter runs it.
    void openByKeyboard(const QPoint &globalPos);
    // A right click on an entry, or the context-menu key or Shift+F10 on the highlighted one,
    // opens its context menu ("popupEntryMenu") with what fill puts in.
    void setEntryMenu(EntryMenu fill) { m_fillEntryMenu = std::move(fill); }
    // The entry's context menu as last opened; none before.
    QMenu *entryMenu() const { return m_entryMenu.get(); }

signals:
    // An item was clicked; connect to MenuExecution::OnMenuItemclick.
    void menuItemClicked(qsizetype flatPosition);
    // The menu opened or closed (polling pauses while it is open).
    void menuOpenChanged(bool open);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Replaces all items by the current entries (the items are a view of them, whence const).
    void rebuild() const;
    // The context menu of the item's entry at the global position; false when it has none.
    bool openEntryMenu(QAction *item, const QPoint &globalPos);

    const MenuList &m_menu;
    const WildcardTexts &m_texts;
    SymbolIcons m_symbolIcons;
    std::unique_ptr<QMenu> PopupMenu;
    EntryMenu m_fillEntryMenu;
    std::unique_ptr<QMenu> m_entryMenu;
    bool m_clickHandled = false; // inside the handler of a click on one of the items
    bool m_offline = false;
    mutable bool m_stale = false; // values changed since the items were built
};
