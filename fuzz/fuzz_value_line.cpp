// The value-line decoder agrees with a plain cut of the line, and `getlv` of the line's number
// gives the value the dispatch saw.
#include "BusMonitor.h"
#include "FuzzCheck.h"
#include "Reference.h"
#include "ValueDispatch.h"

#include <string>

namespace {
std::optional<DecodedLine> plainDecode(const std::u16string &line) {
    if (line.size() <= 4)
        return std::nullopt;
    const std::u16string rest = line.substr(2);
    const size_t bar = rest.find(u'|');
    std::u16string gan = bar == std::u16string::npos ? rest.substr(0, rest.size() - 1) : rest.substr(0, bar);
    std::u16string raw = bar == std::u16string::npos ? std::u16string() : rest.substr(bar + 1);
    std::u16string display = raw;
    for (char16_t &c : display)
        if (c == u'.')
            c = u',';
    return DecodedLine{QString::fromStdU16String(gan), QString::fromStdU16String(raw),
                       QString::fromStdU16String(display)};
}

bool same(const DecodedLine &a, const DecodedLine &b) {
    return a.gan == b.gan && a.rawValue == b.rawValue && a.displayValue == b.displayValue;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QString line = Reference::latin1(data, size);
    const std::optional<DecodedLine> decoded = decodeValueLine(line);
    const std::optional<DecodedLine> expected = plainDecode(line.toStdU16String());
    FUZZ_CHECK(decoded.has_value() == expected.has_value());
    if (!decoded)
        return 0;
    FUZZ_CHECK(same(*decoded, *expected));

    // The bus monitor answers for the number with the same value, once the line carries one.
    BusMonitor monitor;
    monitor.insertTop(line);
    const std::optional<QString> newest = monitor.getlv(decoded->gan);
    if (line.indexOf(u'|', 2) >= 0 && !decoded->rawValue.isEmpty())
        FUZZ_CHECK(newest == decoded->displayValue);
    else
        FUZZ_CHECK(!newest);
    return 0;
}
