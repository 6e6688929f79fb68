#pragma once

#include <QList>
#include <initializer_list>
#include <optional>

// The ordered entries of one of the program's lists (menu entries, Load & Replace rules, mail
// accounts). Files and trees address them by flat position: every entry counts as itself plus a
// fixed number of nodes below it, so entry k sits at flat position NodesPerEntry·k. Plain data: the
// lists add what their nodes hold.
template <typename Entry, qsizetype NodesPerEntry> class EntryList {
public:
    static constexpr qsizetype kNodesPerEntry = NodesPerEntry;

    EntryList() = default;
    EntryList(std::initializer_list<Entry> entries) : m_entries(entries) {}

    qsizetype size() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const Entry &at(qsizetype k) const { return m_entries.at(k); }
    Entry &operator[](qsizetype k) { return m_entries[k]; }
    typename QList<Entry>::const_iterator begin() const { return m_entries.cbegin(); }
    typename QList<Entry>::const_iterator end() const { return m_entries.cend(); }

    void append(Entry entry) { m_entries.append(std::move(entry)); }
    void insert(qsizetype k, Entry entry) { m_entries.insert(k, std::move(entry)); }
    void removeAt(qsizetype k) { m_entries.removeAt(k); }
    void move(qsizetype from, qsizetype to) { m_entries.move(from, to); }
    void clear() { m_entries.clear(); }

    qsizetype nodeCount() const { return m_entries.size() * kNodesPerEntry; }
    static qsizetype flatPosition(qsizetype k) { return k * kNodesPerEntry; }
    // The entry at a flat position; none for a node below an entry or one past the end.
    std::optional<qsizetype> entryAt(qsizetype flat) const {
        if (flat < 0 || flat >= nodeCount() || flat % kNodesPerEntry != 0)
            return std::nullopt;
        return flat / kNodesPerEntry;
    }

    friend bool operator==(const EntryList &, const EntryList &) = default;

private:
    QList<Entry> m_entries;
};
