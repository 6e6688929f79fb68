#pragma once

#include "NumberedSections.h"

#include <QString>
#include <functional>
#include <optional>

// Which of a list editor's buttons are usable: up, down, change and delete.
struct ListButtons {
    bool auf = false;
    bool ab = false;
    bool aendern = false;
    bool loeschen = false;
    friend bool operator==(const ListButtons &, const ListButtons &) = default;
};

// What an editor page asks of its list, whatever the entries are: where the entries stand, which
// buttons are usable, and moving and deleting the entry chosen in its tree.
class ListEditing {
public:
    virtual ~ListEditing() = default;

    // The entry a node at a flat position is; none when nothing or a node below an entry is chosen.
    virtual std::optional<qsizetype> entryAt(std::optional<qsizetype> selectedFlat) const = 0;
    virtual qsizetype entryCount() const = 0;
    virtual qsizetype flatPosition(qsizetype k) const = 0;

    // Delete is usable while there are entries; up, down and change only with an entry chosen (up
    // and down not at their end, change as the list allows).
    virtual ListButtons buttons(std::optional<qsizetype> selectedFlat) const = 0;
    // Entry k one place up or down, then saved; false at the ends.
    virtual bool moveUp(qsizetype k) = 0;
    virtual bool moveDown(qsizetype k) = 0;
    // Asks first, then deletes only a whole entry (selectedFlat is a node's flat position): its
    // section leaves the file, the entry the list, and the list is saved.
    virtual bool remove(std::optional<qsizetype> selectedFlat) = 0;
};

// The rules over a list of entries (an EntryList): moving, deleting, the button states and the
// names made unique by renaming in place. Saving and asking are the program's, through the hooks.
template <typename List> class ListEditRules : public ListEditing {
public:
    static inline const QString kAskDelete = QStringLiteral("Wirklich löschen?");

    struct Hooks {
        // Asked before every delete, whether an entry is chosen or not.
        std::function<bool(const QString &question)> confirm;
        // Shows an error box.
        std::function<void(const QString &text)> error;
        // After a move or a delete: saves (and whatever else follows a change of the list).
        std::function<void()> changed;
        // The list's file, from which a deleted entry's section is erased at once, so that deleting
        // the last entry leaves none; none when the save writes the whole file anyway.
        std::function<QString()> filePath;
        // Whether entry k can be opened for change; none: every entry.
        std::function<bool(qsizetype k)> mayChange;
    };

    // The list must outlive the rules.
    ListEditRules(List &list, Hooks hooks) : m_list(list), m_hooks(std::move(hooks)) {}

    std::optional<qsizetype> entryAt(std::optional<qsizetype> selectedFlat) const override {
        return selectedFlat ? m_list.entryAt(*selectedFlat) : std::nullopt;
    }
    qsizetype entryCount() const override { return m_list.size(); }
    qsizetype flatPosition(qsizetype k) const override { return List::flatPosition(k); }

    ListButtons buttons(std::optional<qsizetype> selectedFlat) const override {
        ListButtons b;
        b.loeschen = !m_list.isEmpty();
        const std::optional<qsizetype> k = entryAt(selectedFlat);
        if (!k)
            return b;
        b.aendern = !m_hooks.mayChange || m_hooks.mayChange(*k);
        if (m_list.size() > 1) {
            b.auf = *k > 0;
            b.ab = *k < m_list.size() - 1;
        }
        return b;
    }

    bool moveUp(qsizetype k) override { return k > 0 && swapWithNext(k - 1); }
    bool moveDown(qsizetype k) override { return k >= 0 && swapWithNext(k); }

    bool remove(std::optional<qsizetype> selectedFlat) override {
        if (!m_hooks.confirm(kAskDelete))
            return false;
        const std::optional<qsizetype> k = entryAt(selectedFlat);
        if (!k)
            return false;
        QString error;
        if (m_hooks.filePath && !eraseNumberedSection(m_hooks.filePath(), List::flatPosition(*k), &error))
            m_hooks.error(error);
        m_list.removeAt(*k);
        m_hooks.changed();
        return true;
    }

    // The text a node renamed in place gets: every node in flat order whose text equals the text
    // so far appends its flat position to it. The renamed node still has its old text then.
    QString uniqueName(const QString &text) const {
        QString name = text;
        for (qsizetype p = 0; p < m_list.nodeCount(); ++p)
            if (m_list.nodeText(p) == name)
                name += QString::number(p);
        return name;
    }

private:
    bool swapWithNext(qsizetype k) {
        if (k + 1 >= m_list.size())
            return false;
        m_list.move(k + 1, k);
        m_hooks.changed();
        return true;
    }

    List &m_list;
    Hooks m_hooks;
};
