#include "MailMessage.h"

#include "AnsiText.h"

#include <QRegularExpression>
#include <QStringDecoder>
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

void MailHeaderCollector::take(QByteArrayView bytes) {
    m_messageBytes += bytes.size();
    const auto keep = [this](char c) {
        if (m_kept.size() >= m_limit) {
            m_cut = true;
            m_done = true;
            return false;
        }
        m_kept.append(c);
        return true;
    };
    for (qsizetype i = 0; i < bytes.size() && !m_done; ++i) {
        const char c = bytes[i];
        if (m_pendingReturn) {
            m_pendingReturn = false;
            if (c == '\n') {
                m_done = true;
                break;
            }
            if (!keep('\r'))
                break;
        } else if (m_atLineStart) {
            if (c == '\n') {
                m_done = true;
                break;
            }
            if (c == '\r') {
                m_pendingReturn = true;
                continue;
            }
        }
        if (!keep(c))
            break;
        m_atLineStart = c == '\n';
    }
}

QByteArray MailHeaderCollector::header() const {
    // A CR that began the last line without its LF is part of the header.
    if (m_pendingReturn && !m_done && m_kept.size() < m_limit)
        return m_kept + '\r';
    return m_kept;
}

bool MailHeaderCollector::cut() const {
    return m_cut || (m_pendingReturn && !m_done && m_kept.size() >= m_limit);
}

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

QString mailBytesAsText(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? AnsiText::decode(bytes.toByteArray()) : text;
}

QString singleLineText(QString text) {
    for (QChar &c : text) {
        const QChar::Category category = c.category();
        if (category == QChar::Other_Control || category == QChar::Separator_Line ||
            category == QChar::Separator_Paragraph)
            c = u' ';
    }
    return text;
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
