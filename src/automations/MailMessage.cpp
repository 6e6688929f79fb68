#include "MailMessage.h"

#include "AnsiText.h"

#include <QRegularExpression>
#include <QStringDecoder>
#include <vmime/vmime.hpp>

namespace {
QString bytesAsText(const std::string &bytes) {
    const QByteArray raw = QByteArray::fromStdString(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(raw);
    return utf8.hasError() ? AnsiText::decode(raw) : text;
}

QString wordText(const vmime::word &word) {
    const vmime::charset &charset = word.getCharset();
    if (charset != vmime::charsets::US_ASCII) {
        try {
            return QString::fromStdString(word.getConvertedText(vmime::charsets::UTF_8));
        } catch (const vmime::exception &) {
            // unknown charset or broken bytes: take them as they are below
        }
    }
    return bytesAsText(word.getBuffer());
}

QString textOf(const vmime::text &text) {
    QString out;
    for (const auto &word : text.getWordList())
        out += wordText(*word);
    return out;
}

std::optional<QDateTime> dateOf(const vmime::datetime &d) {
    const QDate date(d.getYear(), d.getMonth(), d.getDay());
    const QTime time(d.getHour(), d.getMinute(), d.getSecond());
    // The zone is in minutes east of UTC; a header's offset is never a day or more.
    if (!date.isValid() || !time.isValid() || d.getZone() <= -24 * 60 || d.getZone() >= 24 * 60)
        return std::nullopt;
    return QDateTime(date, time, QTimeZone(d.getZone() * 60));
}

// The header ends at the first empty line; without one the whole text is header.
std::string headerPart(const QByteArray &message) {
    qsizetype end = message.size();
    for (const char *blank : {"\r\n\r\n", "\n\n"}) {
        const qsizetype at = message.indexOf(blank);
        if (at >= 0 && at < end)
            end = at + 1;
    }
    return message.left(end).toStdString();
}
} // namespace

MailSummary summarizeMessage(const QByteArray &message) {
    MailSummary summary;
    vmime::header header;
    try {
        header.parse(headerPart(message));
    } catch (const vmime::exception &) {
        return summary;
    }
    try {
        if (auto from = header.findFieldValue<vmime::mailbox>(vmime::fields::FROM))
            summary.sender = senderText(textOf(from->getName()), bytesAsText(from->getEmail().toString()));
    } catch (const vmime::exception &) {
    }
    try {
        if (auto subject = header.findFieldValue<vmime::text>(vmime::fields::SUBJECT))
            summary.subject = textOf(*subject);
    } catch (const vmime::exception &) {
    }
    try {
        if (auto date = header.findFieldValue<vmime::datetime>(vmime::fields::DATE))
            summary.date = dateOf(*date);
    } catch (const vmime::exception &) {
    }
    return summary;
}

QString senderText(const QString &name, const QString &address) {
    if (name.isEmpty() || name.compare(address, Qt::CaseInsensitive) == 0)
        return address;
    return name + QStringLiteral(" <") + address + u'>';
}

QString mailDateText(const QDateTime &date, const QLocale &locale, const QTimeZone &zone) {
    const QDateTime local = date.toTimeZone(zone);
    const QString day = locale.toString(local.date(), QLocale::ShortFormat);
    if (local.time() == QTime(0, 0))
        return day;
    // The long time format of some locales ends in the zone's name, which the user's clock lacks.
    static const QRegularExpression zoneName(QStringLiteral("\\s*\\bt+\\b"));
    const QString format = locale.timeFormat(QLocale::LongFormat).remove(zoneName).trimmed();
    return day + u' ' + locale.toString(local.time(), format);
}
