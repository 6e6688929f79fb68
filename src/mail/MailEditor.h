#pragma once

#include "MailAccount.h"

#include <QStringList>
#include <optional>

// What the account panel on the tab "Email" holds, and the rules that move it into an account and
// back. The count object is the drop panel's caption, the placeholder while none was dropped.
struct MailForm {
    static inline const QString kNoCountObject = QStringLiteral("KO per Drag&&Drop hier abl.");
    static inline const QString kDefaultPort = QStringLiteral("110");

    QString server;
    QString port = kDefaultPort;
    bool fetch = true;
    bool balloon = false;
    bool tls = false;
    QString login;
    QString password;
    QString countCaption = kNoCountObject;
    // Item s - 1 of each list belongs to slot s.
    QStringList senders;
    QStringList subjects;
    QStringList dates;

    bool operator==(const MailForm &) const = default;

    // Server, port and login filled in and a count object dropped.
    bool complete() const;
    // Appends a dropped GAN to one of the three lists while it holds fewer than five.
    static bool addToList(QStringList &list, const QString &gan);
    // A new account named after the server.
    MailAccount newAccount() const;
    // Overwrites every field and slot of the account; its name stays.
    void applyTo(MailAccount &account) const;
    // "Ändern": the form filled from the account, the slots' non-empty GANs appended to the lists the
    // form already has. Nothing when a flag reads as no boolean.
    std::optional<MailForm> withAccount(const MailAccount &account) const;
};
