#include "MessageSummary.h"

#include <vmime/vmime.hpp>

namespace {
// A header offset is never more than 14 hours from UTC; anything beyond is a broken header.
constexpr int kMaxZoneMinutes = 14 * 60;

QString bytesAsText(const std::string &bytes) {
    return mailBytesAsText(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

// A word in its charset, converted strictly: VMime's own conversion puts replacement characters
// where it cannot convert, and turns a word in a charset it does not know into question marks.
QString wordText(const vmime::word &word) {
    const vmime::charset &charset = word.getCharset();
    if (charset == vmime::charsets::US_ASCII || charset == vmime::charsets::UTF_8)
        return bytesAsText(word.getBuffer());
    try {
        vmime::charsetConverterOptions strict;
        strict.silentlyReplaceInvalidSequences = false;
        std::string utf8;
        vmime::charsetConverter::create(charset, vmime::charsets::UTF_8, strict)->convert(word.getBuffer(), utf8);
        return QString::fromStdString(utf8);
    } catch (const std::exception &) {
        // unknown charset or bytes that do not fit it: take them as they are
    }
    return bytesAsText(word.getBuffer());
}

QString textOf(const vmime::text &text) {
    QString out;
    for (const auto &word : text.getWordList())
        out += wordText(*word);
    return out;
}

// The address from the parts the parser found. Never VMime's emailAddress::toString(): it
// converts the domain for IDNA and reads past its buffer when the domain is no valid UTF-8, so
// the text would differ from call to call.
QString addressText(const vmime::emailAddress &email) {
    const QString local = singleLineText(wordText(email.getLocalName()));
    const QString domain = singleLineText(wordText(email.getDomainName()));
    return domain.isEmpty() ? local : local + u'@' + domain;
}

std::optional<QDateTime> dateOf(const vmime::datetime &d) {
    const QDate date(d.getYear(), d.getMonth(), d.getDay());
    const QTime time(d.getHour(), d.getMinute(), d.getSecond());
    // The zone is in minutes east of UTC.
    if (!date.isValid() || !time.isValid() || d.getZone() < -kMaxZoneMinutes || d.getZone() > kMaxZoneMinutes)
        return std::nullopt;
    // A year beyond what a QDateTime holds (a header may give any number) is no date either.
    QDateTime result(date, time, QTimeZone(d.getZone() * 60));
    if (!result.isValid())
        return std::nullopt;
    return result;
}
} // namespace

MailSummary summarizeMessage(const QByteArray &message) {
    MailSummary summary;
    MailHeaderCollector collector(message.size());
    collector.take(message);
    // VMime's parser throws standard exceptions too on some malformed words (a length_error from
    // a string it cuts wrongly): one broken mail must leave its slot empty, not fail the account.
    vmime::header header;
    try {
        header.parse(collector.header().toStdString());
    } catch (const std::exception &) {
        return summary;
    }
    try {
        if (auto from = header.findFieldValue<vmime::mailbox>(vmime::fields::FROM))
            summary.sender = senderText(singleLineText(textOf(from->getName())), addressText(from->getEmail()));
    } catch (const std::exception &) {
    }
    try {
        if (auto subject = header.findFieldValue<vmime::text>(vmime::fields::SUBJECT))
            summary.subject = singleLineText(textOf(*subject));
    } catch (const std::exception &) {
    }
    try {
        if (auto date = header.findFieldValue<vmime::datetime>(vmime::fields::DATE))
            summary.date = dateOf(*date);
    } catch (const std::exception &) {
    }
    return summary;
}
