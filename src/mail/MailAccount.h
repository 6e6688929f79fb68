#pragma once

#include <QList>
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

using MailAccountList = QList<MailAccount>;

inline qsizetype mailFlatPosition(qsizetype index) {
    return kMailAccountNodes * index;
}

// How the editor stores a check box: "-1" or "0".
inline QString mailFlagText(bool set) {
    return set ? QStringLiteral("-1") : QStringLiteral("0");
}
// How the editor reads a flag: "True"/"False" in any case or a whole number (non-zero is set);
// nothing for any other text.
std::optional<bool> readMailFlag(const QString &text);
