#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTimeZone>
#include <optional>

// What a slot sends of one message, read from its header.
struct MailSummary {
    QString sender;
    QString subject;
    std::optional<QDateTime> date; // with the offset the header gave; none when missing or unreadable
    bool operator==(const MailSummary &) const = default;
};

// Reads sender, subject and date from the header of a message as retrieved (the body, if any,
// is not looked at). Encoded words are decoded by VMime; a word that cannot be converted (an
// unknown charset, broken encoding) gives its bytes as UTF-8 when they are valid UTF-8, else as
// Windows-1252, so the slot gets what can be read. Missing fields give empty texts.
MailSummary summarizeMessage(const QByteArray &message);

// "name <address>", or the address alone when there is no name or the name is the address
// (in whatever case).
QString senderText(const QString &name, const QString &address);

// The date as the user reads it (the default locale is the user's): in the given time zone, short date, a blank and
// long time (without a zone name); the time is left out when it is exactly midnight.
QString mailDateText(const QDateTime &date, const QLocale &locale = QLocale(),
                     const QTimeZone &zone = QTimeZone::systemTimeZone());
