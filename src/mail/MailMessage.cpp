#include "MailMessage.h"

#include "AnsiText.h"

#include <QRegularExpression>
#include <QStringDecoder>

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
