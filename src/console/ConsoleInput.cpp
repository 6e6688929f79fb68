#include "ConsoleInput.h"

#include "ConsoleTexts.h"

#include <QFile>
#include <QXmlStreamReader>

namespace {
constexpr char16_t kBackspace = 8;
constexpr char16_t kEnter = 13;
// The copy is ours, written after a download within the catalogue's budget; anything larger
// is not a catalogue.
constexpr qint64 kMaxCopyBytes = 64 * 1024 * 1024;
} // namespace

QChar consoleKeyChar(QChar typed) {
    if (typed == u'.')
        return u'/';
    const char16_t c = typed.unicode();
    if (c == kBackspace || c == kEnter || c == u' ' || c == u'/' || (c >= u'0' && c <= u'9') || c == u'?' || c == u'|')
        return typed;
    return {};
}

QString filterConsoleText(QStringView text) {
    QString filtered;
    filtered.reserve(text.size());
    for (QChar c : text) {
        const QChar kept = consoleKeyChar(c);
        if (!kept.isNull() && kept != QChar(kBackspace) && kept != QChar(kEnter))
            filtered.append(kept);
    }
    return filtered;
}

QString examinedLine(const QString &text) {
    const QStringList lines = text.split(u'\n');
    if (lines.size() >= 2 && lines.last().isEmpty())
        return lines.at(lines.size() - 2);
    return lines.last();
}

ConsoleClassification inmemo(QStringView line) {
    const qsizetype p = line.lastIndexOf(u' ') + 1;
    const bool slash = line.contains(u'/');
    const bool blank = p > 0;
    ConsoleKind kind = ConsoleKind::Number;
    if (line.contains(u'?'))
        kind = ConsoleKind::Query;
    else if (line.contains(u'|'))
        kind = ConsoleKind::RawLine;
    else if (slash && blank)
        kind = ConsoleKind::AddressWithValue;
    else if (blank)
        kind = ConsoleKind::NumberWithValue;
    else if (slash)
        kind = ConsoleKind::Address;
    return {kind, p};
}

ConsoleLookup getxmldaten(const QString &file, const QString &attribute, const QString &text) {
    ConsoleLookup lookup;
    QFile copy(file);
    if (!copy.open(QIODevice::ReadOnly) || copy.size() > kMaxCopyBytes) {
        lookup.errorCode =
            static_cast<int>(copy.error() == QFileDevice::NoError ? QFileDevice::ReadError : copy.error());
        lookup.errorText = file + u": "_qs + copy.errorString();
        return lookup;
    }
    QXmlStreamReader reader(&copy);
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::DTD) {
            reader.raiseError(ConsoleTexts::kNoDocumentTypes);
            break;
        }
        if (token != QXmlStreamReader::StartElement || reader.name() != QLatin1String("cobject"))
            continue;
        const QXmlStreamAttributes attributes = reader.attributes();
        if (!attributes.hasAttribute(attribute) || attributes.value(attribute) != text)
            continue;
        lookup.gan = attributes.value(QLatin1StringView("ganum")).toString();
        lookup.result = ConsoleTexts::kFound.arg(attributes.value(QLatin1StringView("name")).toString(),
                                                 attributes.value(QLatin1StringView("ga")).toString(), lookup.gan);
    }
    if (reader.hasError()) {
        lookup.errorCode = static_cast<int>(reader.error());
        lookup.errorText = file + u": "_qs + reader.errorString();
        lookup.result.clear();
        lookup.gan.clear();
        return lookup;
    }
    lookup.ok = true;
    return lookup;
}
