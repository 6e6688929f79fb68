#include "ObjectStore.h"

#include "AnsiText.h"

#include <QLocale>
#include <QXmlStreamReader>
#include <cmath>
#include <limits>

QStringList ObjectStore::loadCatalogue(const QByteArray &document) {
    QStringList warnings;
    QXmlStreamReader xml(document);
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement || xml.name() != u"cobject")
            continue;
        const QXmlStreamAttributes attributes = xml.attributes();
        const auto gan = parseGan(attributes.value(QLatin1String("ganum")).toLatin1());
        if (!gan) {
            warnings
                << QStringLiteral("catalogue line %1: cobject without a usable ganum skipped").arg(xml.lineNumber());
            continue;
        }
        const Kind kind = kindOf(attributes.value(QLatin1String("fmt")).toString());
        const QByteArray init = AnsiText::encode(attributes.value(QLatin1String("init")).toString());
        // A numeric object whose init is no number starts at zero rather than with a value the
        // gateway could never carry for it.
        m_objects[*gan] = Object{kind, normalised(kind, init).value_or(formatNumber(0))};
    }
    if (xml.hasError())
        warnings << QStringLiteral("catalogue line %1: %2 (objects after it are missing)")
                        .arg(xml.lineNumber())
                        .arg(xml.errorString());
    return warnings;
}

std::optional<QByteArray> ObjectStore::value(quint32 gan) const {
    const auto found = m_objects.find(gan);
    if (found == m_objects.end())
        return std::nullopt;
    return found->second.value;
}

std::vector<std::pair<quint32, QByteArray>> ObjectStore::values() const {
    std::vector<std::pair<quint32, QByteArray>> all;
    all.reserve(m_objects.size());
    for (const auto &[gan, object] : m_objects)
        all.emplace_back(gan, object.value);
    return all;
}

ObjectStore::SetResult ObjectStore::set(quint32 gan, const QByteArray &value) {
    if (value.size() > kMaxValueLength)
        return SetResult::TooLong;
    auto found = m_objects.find(gan);
    if (found == m_objects.end() && m_addedObjects >= kMaxAddedObjects)
        return SetResult::TooManyObjects;
    const auto stored = normalised(found == m_objects.end() ? Kind::Text : found->second.kind, value);
    if (!stored)
        return SetResult::NotANumber;
    if (found == m_objects.end()) {
        found = m_objects.emplace(gan, Object{}).first;
        ++m_addedObjects;
    }
    found->second.value = *stored;
    emit valueChanged(gan, *stored);
    return SetResult::Stored;
}

std::optional<quint32> ObjectStore::parseGan(QByteArrayView text) {
    // Ten digits hold every 32-bit number; the range check below does the rest.
    if (text.isEmpty() || text.size() > 10)
        return std::nullopt;
    quint64 number = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        number = number * 10 + static_cast<quint64>(c - '0');
    }
    if (number > std::numeric_limits<quint32>::max())
        return std::nullopt;
    return static_cast<quint32>(number);
}

std::optional<double> ObjectStore::parseNumber(const QByteArray &text) {
    QByteArray number = text.trimmed();
    number.replace(',', '.');
    bool ok = false;
    const double value = number.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

QByteArray ObjectStore::formatNumber(double number) {
    // Adding zero turns -0 into 0.
    QByteArray text = QByteArray::number(number + 0.0, 'f', QLocale::FloatingPointShortest);
    if (!text.contains('.'))
        text += ".0";
    return text;
}

ObjectStore::Kind ObjectStore::kindOf(const QString &fmt) {
    const QString upper = fmt.trimmed().toUpper();
    if (upper == u"EIS1")
        return Kind::Bit;
    // Dimming steps, floats, percentages, counters and scaled values travel as numbers; times,
    // dates and texts (EIS3, EIS4, EIS15) and anything unknown as they were sent.
    static const QStringList numeric{u"EIS2"_qs,  u"EIS5"_qs,  u"EIS6"_qs, u"EIS9"_qs,
                                     u"EIS10"_qs, u"EIS11"_qs, u"EIS14"_qs};
    return numeric.contains(upper) ? Kind::Number : Kind::Text;
}

std::optional<QByteArray> ObjectStore::normalised(Kind kind, const QByteArray &value) {
    if (kind == Kind::Text)
        return value;
    const auto number = parseNumber(value);
    if (!number)
        return std::nullopt;
    if (kind == Kind::Bit)
        return formatNumber(*number != 0 ? 1 : 0);
    return formatNumber(*number);
}
