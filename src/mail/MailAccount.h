#pragma once

#include "EntryList.h"

#include <QString>
#include <array>
#include <optional>

// The objects that receive what the s-th newest message of a mailbox says; an empty GAN sends nothing.
struct MailSlot {
    QString senderGan;
    QString subjectGan;
    QString dateGan;
    bool operator==(const MailSlot &) const = default;
};

inline constexpr int kMailSlotCount = 5;
// An account stands for 29 nodes of the account list (itself, seven fields, "Mails", five mailSlots of
// four); its section in the mail file is named by the position of its first node.
inline constexpr qsizetype kMailAccountNodes = 29;

// One mailbox that is polled. The two flags keep their text as stored: the poll takes an account
// only when its fetch flag reads exactly "-1", while the editor reads "True", "False" and numbers too.
struct MailAccount {
    QString name; // the server text when the account was added
    QString host;
    QString port = QStringLiteral("110");
    QString fetchFlag = QStringLiteral("False");
    QString balloonFlag = QStringLiteral("False");
    QString login;
    QString password;
    QString countGan;
    // STLS on a plain port; port 995 means POP3S whatever this says.
    bool tls = false;
    std::array<MailSlot, kMailSlotCount> mailSlots;

    bool operator==(const MailAccount &) const = default;
    bool polled() const { return fetchFlag == QStringLiteral("-1"); }
    bool showsBalloon() const { return balloonFlag == QStringLiteral("-1"); }
};

// The accounts in list order. Below each account its nodes stand in pre-order: the seven fields
// (host, port, fetch flag, balloon flag, login, password, count GAN), "Mails", and for each slot
// its number ("1" to "5") followed by its sender, subject and date GANs.
class MailAccountList : public EntryList<MailAccount, kMailAccountNodes> {
public:
    using EntryList::EntryList;

    enum class NodeKind { Account, Field, Mails, Slot, SlotGan };
    static NodeKind kindOf(qsizetype node);
    // The node (counted within its account) that a node hangs under; -1 for the account itself.
    static qsizetype parentOf(qsizetype node);

    // The text of any node by flat position.
    QString nodeText(qsizetype flat) const;
    // Whether a node keeps a text of the account's own (its name, a field, a slot's GAN); "Mails"
    // and the slot numbers do not.
    static bool holdsText(qsizetype node) { return kindOf(node) != NodeKind::Mails && kindOf(node) != NodeKind::Slot; }
    // A node that holds a text gets a new one; the others stay as they are.
    void setNodeText(qsizetype flat, const QString &text);

    friend bool operator==(const MailAccountList &, const MailAccountList &) = default;
};

// How the editor stores a check box: "-1" or "0".
inline QString mailFlagText(bool set) {
    return set ? QStringLiteral("-1") : QStringLiteral("0");
}
// How the editor reads a flag: "True"/"False" in any case or a whole number (non-zero is set);
// nothing for any other text.
std::optional<bool> readMailFlag(const QString &text);
