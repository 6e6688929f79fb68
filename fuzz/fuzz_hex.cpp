// Hex pairs: the decoder agrees with a plain one on any text, and decodes what a plain encoder
// wrote (either case, a last single digit ignored) back to the bytes.
#include "FuzzCheck.h"
#include "Hex.h"
#include "Reference.h"

namespace {
int digitValue(char16_t c) {
    const QString digits = QStringLiteral("0123456789abcdef");
    const qsizetype lower = digits.indexOf(QChar(c));
    const qsizetype upper = digits.toUpper().indexOf(QChar(c));
    return static_cast<int>(lower >= 0 ? lower : upper);
}

std::optional<QByteArray> plainDecode(const QString &text) {
    QByteArray bytes;
    for (qsizetype i = 0; i + 1 < text.size(); i += 2) {
        const int high = digitValue(text.at(i).unicode());
        const int low = digitValue(text.at(i + 1).unicode());
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.append(static_cast<char>(high * 16 + low));
    }
    return bytes;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = Reference::bytes(data, size);
    for (const QString &text : {QString::fromUtf8(bytes), Reference::latin1(data, size)}) {
        const std::optional<QByteArray> expected = plainDecode(text);
        FUZZ_CHECK(Hex::decodePairs(text) == expected);
        const std::optional<QString> asText = HexToText(text);
        FUZZ_CHECK(asText.has_value() == expected.has_value());
        FUZZ_CHECK(!asText || *asText == Reference::decodeCp1252(*expected));
    }

    // The input's bytes written as pairs, upper or lower case by the byte's lowest bit, plus an
    // odd last digit when the input length is odd.
    QString encoded;
    for (char c : bytes) {
        const QString pair = QStringLiteral("%1").arg(static_cast<uint8_t>(c), 2, 16, QChar(u'0'));
        encoded += (c & 1) ? pair.toUpper() : pair;
    }
    if (size % 2)
        encoded += u'F';
    FUZZ_CHECK(Hex::decodePairs(encoded) == bytes);
    FUZZ_CHECK(HexToText(encoded) == Reference::decodeCp1252(bytes));
    return 0;
}
