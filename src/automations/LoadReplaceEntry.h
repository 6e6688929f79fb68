#pragma once

#include "EntryList.h"

#include <QString>
#include <iterator>

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

// The nodes of a rule in order, each named as the file names its key: the rule itself, then its
// four attributes.
struct LoadReplaceNode {
    QString name;
    QString LoadReplaceEntry::*member;
};
inline const LoadReplaceNode kLoadReplaceNodes[] = {{QStringLiteral("Bezeichnung"), &LoadReplaceEntry::bezeichnung},
                                                    {QStringLiteral("Host"), &LoadReplaceEntry::host},
                                                    {QStringLiteral("Saveto"), &LoadReplaceEntry::saveto},
                                                    {QStringLiteral("GANum"), &LoadReplaceEntry::ganum},
                                                    {QStringLiteral("GA"), &LoadReplaceEntry::ga}};

// The ordered rules. Every rule counts as itself plus its four attributes, so rule k sits at flat
// position 5·k; the file's section names are flat positions.
class LoadReplaceList : public EntryList<LoadReplaceEntry, qsizetype(std::size(kLoadReplaceNodes))> {
public:
    // The text of any node by flat position: the name, then Host, Saveto, GANum, GA.
    QString nodeText(qsizetype flat) const { return at(flat / kNodesPerEntry).*member(flat); }
    void setNodeText(qsizetype flat, const QString &text) { (*this)[flat / kNodesPerEntry].*member(flat) = text; }

    friend bool operator==(const LoadReplaceList &, const LoadReplaceList &) = default;

private:
    static QString LoadReplaceEntry::*member(qsizetype flat) { return kLoadReplaceNodes[flat % kNodesPerEntry].member; }
};
