#pragma once

#include <QByteArray>
#include <QByteArrayView>
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
    // The header was longer than what is kept of it: only its start was read.
    bool headerCut = false;
    bool operator==(const MailSummary &) const = default;
};

// Keeps the header of a message whose bytes stream in, in pieces of any size: every line before
// the first empty line, at most `limit` bytes of them. Everything after is only counted, so a
// message of any size costs the header's memory and no more.
class MailHeaderCollector {
public:
    explicit MailHeaderCollector(qsizetype limit) : m_limit(limit) {}

    void take(QByteArrayView bytes);

    // The header's lines with their line ends, without the empty line.
    QByteArray header() const;
    // The header went on beyond the limit; header() holds its first `limit` bytes.
    bool cut() const;
    // Every byte taken, header and body.
    qint64 messageBytes() const { return m_messageBytes; }

private:
    qsizetype m_limit;
    QByteArray m_kept;
    bool m_atLineStart = true;
    bool m_pendingReturn = false; // a CR that began a line: an empty line if LF follows
    bool m_done = false;
    bool m_cut = false;
    qint64 m_messageBytes = 0;
};

// Bytes from outside as text: UTF-8 when they are valid UTF-8, else Windows-1252.
QString mailBytesAsText(QByteArrayView bytes);
// The text with every control character and line or paragraph separator replaced by a blank.
QString singleLineText(QString text);

// "name <address>", or the address alone when there is no name or the name is the address
// (in whatever case).
QString senderText(const QString &name, const QString &address);

// The date as the user reads it (the default locale is the user's): in the given time zone, short date, a blank and
// long time (without a zone name); the time is left out when it is exactly midnight.
QString mailDateText(const QDateTime &date, const QLocale &locale = QLocale(),
                     const QTimeZone &zone = QTimeZone::systemTimeZone());
