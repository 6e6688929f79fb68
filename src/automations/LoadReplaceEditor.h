#pragma once

#include "CatalogueDrag.h"
#include "ListEditRules.h"
#include "LoadReplaceEntry.h"

#include <QString>
#include <functional>
#include <optional>

class Dialogs;

// Which of the Load & Replace editor's buttons are usable.
using LoadReplaceButtons = ListButtons;

// The rules of the Load & Replace editor over the list: adding a rule for a dropped object,
// changing its host and file, moving, deleting, renaming in place and the button states. Every
// change but a new name is saved at once (a new name goes with the next save).
class LoadReplaceEditor {
public:
    struct Hooks {
        // The full path of "quendraload.ini" in the current configuration folder.
        std::function<QString()> filePath;
    };

    // The list and the dialogs must outlive the editor.
    LoadReplaceEditor(LoadReplaceList &rules, Dialogs &dialogs, Hooks hooks);

    // Moving, deleting and the button states, as an editor page uses them.
    ListEditing &listRules() { return m_listRules; }

    // Only an object with a group-address number can be bound.
    static bool acceptsDrop(const DraggedObject &object) { return !object.gan.isEmpty(); }

    // Appends a rule for the object with the panel's host and file; saves. Refused without a GAN.
    std::optional<qsizetype> add(const DraggedObject &object, const QString &host, const QString &saveto);
    // Rule k gets a new host and file; name, number and address stay. Saves.
    bool change(qsizetype k, const QString &host, const QString &saveto);
    // Rule k one place up or down; false at the ends. Saves.
    bool moveUp(qsizetype k) { return m_listRules.moveUp(k); }
    bool moveDown(qsizetype k) { return m_listRules.moveDown(k); }
    // Asks first; deletes only a whole rule (selectedFlat is a node's flat position), erasing its
    // section, then saves.
    bool lrdeletebtnClick(std::optional<qsizetype> selectedFlat) { return m_listRules.remove(selectedFlat); }

    // `rtreeChange`: the button states for the node selected at a flat position (none: nothing).
    LoadReplaceButtons rtreeChange(std::optional<qsizetype> selectedFlat) const {
        return m_listRules.buttons(selectedFlat);
    }
    // `rtreeEdited`: the node at flat gets the text made unique: every node in flat order whose
    // text equals the text so far appends its flat position to it. Not saved. Returns the text.
    QString rtreeEdited(qsizetype flat, const QString &text);

    // `save_rlist` to the current file; an error is shown.
    void save();

private:
    LoadReplaceList &m_rules;
    Dialogs &m_dialogs;
    Hooks m_hooks;
    ListEditRules<LoadReplaceList> m_listRules;
};
