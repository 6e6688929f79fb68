#pragma once

#include "CatalogueDrag.h"
#include "ListEditRules.h"
#include "MenuCommand.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class Dialogs;

// The kinds of entries the editor builds, and what each offers: its actions and its symbols
// (picture indices of the menu symbols with the names the editor shows for them).
namespace MenuEntryTypes {
inline const QString kSwitch = QStringLiteral("Schaltaktor (0/1)");
inline const QString kDimmer = QStringLiteral("Dimmer (Wertgeber)");
inline const QString kRead = QStringLiteral("Wert lesen");
inline const QString kFree = QStringLiteral("Frei");
inline const QString kReadAction = QStringLiteral("lesen");

struct Symbol {
    QString name;
    int picture;
};

// The type list's entries, in order.
QStringList types();
QStringList actions(const QString &type);
QList<Symbol> symbols(const QString &type);
// Where an entry's type stands in the type list: switch, dimmer, and the read type for anything else.
int typeIndex(const QString &typ);
} // namespace MenuEntryTypes

// What the parameter panel holds when an entry is added or changed.
struct EntryParameters {
    QString typ;
    QString aktion;
    QString wert;
    std::optional<int> symbol; // the picture chosen in the symbol list; none chosen yet
    bool balloon = false;
    bool msg = false;
    bool sound = false;
    QString soundname;
};

// Which of the editor's buttons are usable for a selection.
using EditorButtons = ListButtons;

// The rules of the menu editor over the menu entries: adding and changing an entry from the
// parameter panel, separators, moving, deleting, renaming in place, and which buttons may be
// used. Every change is saved at once (except a new name, which goes with the next save) and
// rebuilds the tray popup; both, the value lookup and the menu file's path come from the program.
class MenuEditor {
public:
    struct Hooks {
        // The newest value of a number, with decimal comma; "0,0" with a message when none is known.
        std::function<QString(const QString &gan)> getlv;
        // Writes the settings and the menu file.
        std::function<void()> save_blist;
        // Rebuilds the tray popup from the entries.
        std::function<void()> make_popup;
        // The full path of the menu file.
        std::function<QString()> menuFilePath;
    };

    static inline const QString kEnterValue = QStringLiteral("Bitte Wert eingeben!");

    // The menu and the dialogs must outlive the editor.
    MenuEditor(MenuList &menu, Dialogs &dialogs, Hooks hooks);

    // Moving, deleting and the button states, as an editor page uses them.
    ListEditing &listRules() { return m_rules; }

    // An object is taken onto the menu only with a group-address number (it could not be switched
    // without); its name becomes the entry's text.
    static bool acceptsDrop(const DraggedObject &object) { return !object.gan.isEmpty(); }

    // Whether the add/change button may be used: not without a type and an action, nor without a
    // chosen symbol (an entry without picture would be half made). A "Frei" action without value
    // asks for one and leaves the button as it is (none).
    std::optional<bool> makepopupbtnfrei(bool typeChosen, const QString &action, const QString &value,
                                         bool symbolChosen);

    // Appends an entry for the object with the panel's parameters, its value from getlv, saves and
    // rebuilds the popup. Refused (none, nothing changed) without a chosen symbol or a GAN.
    std::optional<qsizetype> add(const DraggedObject &object, const EntryParameters &parameters);
    // Changes entry k (its text and GAN stay); refused without a chosen symbol.
    bool change(qsizetype k, const EntryParameters &parameters);
    // What the panel shows when entry k is opened for change (the symbol is left to the panel's
    // list). The switches Balloon, Msg and Sound must read as truth values; otherwise an error is
    // shown and there is nothing to open.
    std::optional<EntryParameters> openForChange(qsizetype k);
    // Appends a separator, unless the menu is empty.
    bool LiniebtnClick();
    // Move entry k one place up or down; false at the ends.
    bool moveUp(qsizetype k) { return m_rules.moveUp(k); }
    bool moveDown(qsizetype k) { return m_rules.moveDown(k); }
    // Asks first; deletes only when a whole entry is chosen (selectedFlat is a node's flat
    // position). Erases the entry's section from the file, so deleting the last entry leaves none.
    bool deltebtnClick(std::optional<qsizetype> selectedFlat) { return m_rules.remove(selectedFlat); }

    // The button states for the node selected at a flat position (none: nothing selected); a
    // separator cannot be changed.
    EditorButtons btreeChange(std::optional<qsizetype> selectedFlat) const { return m_rules.buttons(selectedFlat); }
    // Only entries and separators can be renamed; not the attributes, nor an entry that looks like one.
    bool btreeEditing(qsizetype flat) const;
    // Gives the entry at flat its new text, made unique: every node in flat order whose text equals
    // the name so far appends its flat position to it. Not saved; the popup is rebuilt. A blank
    // name is refused (the entry would be gone at the next start). Returns the entry's text.
    QString btreeEdited(qsizetype flat, const QString &text);

    // "True"/"False" in any case, or a number (0 is false); none for anything else.
    static std::optional<bool> truthValue(const QString &text);

private:
    static QString flag(bool on) { return on ? QStringLiteral("True") : QStringLiteral("False"); }
    void fill(MenuCommand &entry, const EntryParameters &parameters);
    void changed();

    MenuList &m_menu;
    Dialogs &m_dialogs;
    Hooks m_hooks;
    ListEditRules<MenuList> m_rules;
};
