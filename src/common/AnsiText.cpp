#include "AnsiText.h"

#include <QHash>
#include <QStringDecoder>
#include <algorithm>
#include <array>

namespace {
// The code page's 256 characters, taken once from the library codec. The five bytes that
// Windows-1252 leaves undefined map to the C1 control of the same code so that every byte
// survives a round trip.
struct CodePage {
    std::array<char16_t, 256> toUnicode{};
    QHash<char16_t, char> fromUnicode;

    CodePage() {
        QStringDecoder decoder("windows-1252");
        for (int byte = 0; byte < 256; ++byte) {
            const char c = static_cast<char>(byte);
            const QString one = decoder.decode(QByteArrayView(&c, 1));
            char16_t code = static_cast<char16_t>(byte);
            if (byte >= 0x80 && one.size() == 1 && one.at(0) != QChar::ReplacementCharacter)
                code = one.at(0).unicode();
            decoder.resetState();
            toUnicode[static_cast<size_t>(byte)] = code;
            if (byte >= 0x80)
                fromUnicode.insert(code, c);
        }
    }
};

const CodePage &codePage() {
    static const CodePage page;
    return page;
}
} // namespace

QByteArray AnsiText::encode(const QString &text) {
    const CodePage &page = codePage();
    QByteArray bytes(text.size(), '\0');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t code = text.at(i).unicode();
        if (code < 0x80) {
            bytes[i] = static_cast<char>(code);
        } else {
            const auto found = page.fromUnicode.constFind(code);
            bytes[i] = found == page.fromUnicode.cend() ? '?' : *found;
        }
    }
    return bytes;
}

bool AnsiText::canEncode(const QString &text) {
    const CodePage &page = codePage();
    return std::all_of(text.begin(), text.end(),
                       [&page](QChar c) { return c.unicode() < 0x80 || page.fromUnicode.contains(c.unicode()); });
}

QString AnsiText::decode(const QByteArray &bytes) {
    const CodePage &page = codePage();
    QString text(bytes.size(), Qt::Uninitialized);
    QChar *out = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i)
        out[i] = QChar(page.toUnicode[static_cast<uchar>(bytes.at(i))]);
    return text;
}
