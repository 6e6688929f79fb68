#pragma once

#include <QList>
#include <QString>
#include <optional>

// One Load & Replace rule: whenever its object reports a value, host + value is fetched into the
// file saveto. Plain data; the texts are kept as the file holds them.
struct LoadReplaceEntry {
    QString bezeichnung; // display name, at first the object's name from the catalogue
    QString host;        // URL prefix the value text is appended to
    QString saveto;      // full path and name of the file the body replaces
    QString ganum;       // the bound object's group-address number
    QString ga;          // its three-level group address, for the user's eye only

    // A rule is bound to a received number by its number alone; an empty number binds nothing.
    bool isBoundTo(QStringView receivedGan) const { return !ganum.isEmpty() && ganum == receivedGan; }

    friend bool operator==(const LoadReplaceEntry &, const LoadReplaceEntry &) = default;
};

// The ordered rules. Every rule counts as itself plus its four attributes (Host, Saveto, GANum,
// GA), so rule k sits at flat position 5·k; the file's section names are flat positions.
class LoadReplaceList {
public:
    static constexpr qsizetype kNodesPerEntry = 5;

    qsizetype size() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const LoadReplaceEntry &at(qsizetype k) const { return m_entries.at(k); }
    LoadReplaceEntry &operator[](qsizetype k) { return m_entries[k]; }
    QList<LoadReplaceEntry>::const_iterator begin() const { return m_entries.cbegin(); }
    QList<LoadReplaceEntry>::const_iterator end() const { return m_entries.cend(); }

    void append(LoadReplaceEntry entry) { m_entries.append(std::move(entry)); }
    void removeAt(qsizetype k) { m_entries.removeAt(k); }
    void move(qsizetype from, qsizetype to) { m_entries.move(from, to); }

    qsizetype nodeCount() const { return m_entries.size() * kNodesPerEntry; }
    static qsizetype flatPosition(qsizetype k) { return k * kNodesPerEntry; }
    // The rule at a flat position; none for an attribute position or one past the end.
    std::optional<qsizetype> entryAt(qsizetype flat) const {
        if (flat < 0 || flat >= nodeCount() || flat % kNodesPerEntry != 0)
            return std::nullopt;
        return flat / kNodesPerEntry;
    }
    // The text of any node by flat position: the name, then Host, Saveto, GANum, GA.
    QString nodeText(qsizetype flat) const {
        return m_entries.at(flat / kNodesPerEntry).*kFields[flat % kNodesPerEntry];
    }
    void setNodeText(qsizetype flat, const QString &text) {
        m_entries[flat / kNodesPerEntry].*kFields[flat % kNodesPerEntry] = text;
    }

    friend bool operator==(const LoadReplaceList &, const LoadReplaceList &) = default;

private:
    static constexpr QString LoadReplaceEntry::*kFields[kNodesPerEntry] = {
        &LoadReplaceEntry::bezeichnung, &LoadReplaceEntry::host, &LoadReplaceEntry::saveto, &LoadReplaceEntry::ganum,
        &LoadReplaceEntry::ga};

    QList<LoadReplaceEntry> m_entries;
};
