// The Windows-1252 codec: every byte decodes to the code page's character and encodes back to
// itself; any text encodes character by character, with "?" for what the code page lacks.
#include "AnsiText.h"
#include "FuzzCheck.h"
#include "Reference.h"

#include <array>

namespace {
// Characters near the code page's edges, so the fuzzer meets them without guessing 16-bit codes.
constexpr std::array<char16_t, 24> kInteresting = {0x20AC, 0x20AD, 0x0081, 0x0080, 0x009F, 0x00A0, 0x00FF, 0x0100,
                                                   0x0178, 0x0179, 0x2122, 0x2121, 0x02C6, 0x02DC, 0x0192, 0x201A,
                                                   0x2039, 0x203A, 0xD800, 0xDC00, 0xFFFD, 0xFEFF, 0x00B5, 0x03BC};

// Two input bytes make one character: a marked first byte picks an interesting one.
QString wideText(const uint8_t *data, size_t size) {
    QString text;
    for (size_t i = 0; i + 1 < size; i += 2) {
        const char16_t code = data[i] == 0xFF ? kInteresting[data[i + 1] % kInteresting.size()]
                                              : static_cast<char16_t>(data[i] << 8 | data[i + 1]);
        text.append(QChar(code));
    }
    return text;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes = Reference::bytes(data, size);
    const QString decoded = AnsiText::decode(bytes);
    FUZZ_CHECK(decoded == Reference::decodeCp1252(bytes));
    FUZZ_CHECK(AnsiText::encode(decoded) == bytes);
    FUZZ_CHECK(AnsiText::canEncode(decoded));

    const QString wide = wideText(data, size);
    const QByteArray encoded = AnsiText::encode(wide);
    FUZZ_CHECK(encoded.size() == wide.size());
    bool everyCharacterKept = true;
    for (qsizetype i = 0; i < wide.size(); ++i) {
        const std::optional<uint8_t> byte = Reference::toCp1252(wide.at(i).unicode());
        FUZZ_CHECK(static_cast<uint8_t>(encoded.at(i)) == (byte ? *byte : uint8_t('?')));
        everyCharacterKept = everyCharacterKept && byte.has_value();
    }
    FUZZ_CHECK(AnsiText::canEncode(wide) == everyCharacterKept);
    FUZZ_CHECK(AnsiText::decode(encoded) == Reference::throughCp1252(wide));
    return 0;
}
