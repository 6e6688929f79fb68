#include "Hex.h"

#include "AnsiText.h"

namespace {
int hexDigit(QChar ch) {
    const char16_t c = ch.unicode();
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}
} // namespace

std::optional<QByteArray> Hex::decodePairs(QStringView text) {
    QByteArray bytes;
    bytes.reserve(text.size() / 2);
    for (qsizetype i = 0; i + 1 < text.size(); i += 2) {
        const int high = hexDigit(text.at(i));
        const int low = hexDigit(text.at(i + 1));
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes.append(static_cast<char>(high * 16 + low));
    }
    return bytes;
}

std::optional<QString> HexToText(QStringView text) {
    const auto bytes = Hex::decodePairs(text);
    if (!bytes)
        return std::nullopt;
    return AnsiText::decode(*bytes);
}
