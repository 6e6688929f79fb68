#pragma once

#include <QList>
#include <QString>
#include <optional>

// One entry of the tray menu: a command that switches, dims or reads one communication object
// through its group-address number, or a separator line. Plain data; the texts are kept as the
// menu file holds them, so a save writes back what was read.
struct MenuCommand {
    QString bezeichnung; // caption text, may hold wildcards; "-" for a separator
    int symbol = 0;      // base symbol, index into the symbol pictures; -1 for a separator
    QString typ;         // "Schaltaktor (0/1)", "Dimmer (Wertgeber)", "Wert lesen"; "Linie" for a separator
    QString aktion;      // "Ein", "Aus", "Um", "Frei", "lesen"; "Keine" for a separator
    QString wert;        // the fixed value that "Frei" sends, as typed
    int stateIcon = 0;   // the picture shown for the current value (not stored in the file)
    QString gan;         // group-address number as decimal text
    QString lv;          // last known value, with decimal comma
    QString balloon = QStringLiteral("False");
    QString msg = QStringLiteral("False");
    QString sound = QStringLiteral("False");
    QString soundname; // system sound event name, whatever the sound list showed

    // A separator line with the attributes the file gives it.
    static MenuCommand separator();

    // An entry is bound to a received number by its GAN alone; an empty GAN binds nothing.
    bool isBoundTo(QStringView receivedGan) const { return !gan.isEmpty() && gan == receivedGan; }

    // The switches Balloon, Msg and Sound are on only when they read exactly "True".
    static bool isOn(const QString &flag) { return flag == QLatin1String("True"); }

    friend bool operator==(const MenuCommand &, const MenuCommand &) = default;
};

// The ordered entries of the tray menu. Other parts address entries by flat position: every entry
// counts as itself plus its ten attributes (Typ, Aktion, Wert, state, GAN, LV, Balloon, Msg, Sound,
// Soundname), so entry k sits at flat position 11·k. Popup item tags and menu file section names
// are flat positions.
class MenuList {
public:
    static constexpr qsizetype kNodesPerEntry = 11;
    // The text the state attribute shows among the attribute texts.
    static inline const QString kStateNodeText = QStringLiteral("Symbolstatus");
    // The picture every other attribute shows: the attribute marker.
    static constexpr int kAttributeSymbol = 22;

    // The popup tells entries from attributes by their look: an entry whose base symbol is the
    // attribute marker or whose text is the state attribute's is taken for an attribute and gets
    // no item. The file keeps such an entry all the same.
    static bool looksLikeEntry(const MenuCommand &entry) {
        return entry.symbol != kAttributeSymbol && entry.bezeichnung != kStateNodeText;
    }

    qsizetype size() const { return m_entries.size(); }
    bool isEmpty() const { return m_entries.isEmpty(); }
    const MenuCommand &at(qsizetype k) const { return m_entries.at(k); }
    MenuCommand &operator[](qsizetype k) { return m_entries[k]; }
    QList<MenuCommand>::const_iterator begin() const { return m_entries.cbegin(); }
    QList<MenuCommand>::const_iterator end() const { return m_entries.cend(); }

    void append(MenuCommand entry) { m_entries.append(std::move(entry)); }
    void insert(qsizetype k, MenuCommand entry) { m_entries.insert(k, std::move(entry)); }
    void removeAt(qsizetype k) { m_entries.removeAt(k); }
    void move(qsizetype from, qsizetype to) { m_entries.move(from, to); }
    void clear() { m_entries.clear(); }

    qsizetype nodeCount() const { return m_entries.size() * kNodesPerEntry; }
    static qsizetype flatPosition(qsizetype k) { return k * kNodesPerEntry; }
    // The entry index at a flat position; none for an attribute position or one past the end.
    std::optional<qsizetype> entryAt(qsizetype flatPosition) const;
    // The text of any node by flat position, attributes included (the entry's caption text,
    // then Typ, Aktion, Wert, "Symbolstatus", GAN, LV, Balloon, Msg, Sound, Soundname).
    QString nodeText(qsizetype flatPosition) const;

    friend bool operator==(const MenuList &, const MenuList &) = default;

private:
    QList<MenuCommand> m_entries;
};
