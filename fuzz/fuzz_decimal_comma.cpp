// Decimal-comma numbers: the parser agrees with a plain grammar and the C library's conversion,
// and truncation with a plain range check.
#include "DecimalComma.h"
#include "FuzzCheck.h"
#include "Reference.h"

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <string>

namespace {
bool isDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Sign, digits with at most one comma and at least one digit, optional exponent; blanks around.
// Returns the number in the C library's spelling, or nothing.
std::optional<std::string> plainGrammar(const QString &input) {
    const QString text = input.trimmed();
    std::string number;
    qsizetype i = 0;
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-'))
        number += static_cast<char>(text.at(i++).unicode());
    int digits = 0;
    bool comma = false;
    bool mantissaNonZero = false;
    for (; i < text.size(); ++i) {
        if (isDigit(text.at(i))) {
            ++digits;
            mantissaNonZero = mantissaNonZero || text.at(i) != u'0';
            number += static_cast<char>(text.at(i).unicode());
        } else if (text.at(i) == u',' && !comma) {
            comma = true;
            number += '.';
        } else {
            break;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < text.size() && (text.at(i) == u'e' || text.at(i) == u'E')) {
        number += 'e';
        ++i;
        if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-'))
            number += static_cast<char>(text.at(i++).unicode());
        int exponentDigits = 0;
        for (; i < text.size() && isDigit(text.at(i)); ++i, ++exponentDigits)
            number += static_cast<char>(text.at(i).unicode());
        if (exponentDigits == 0)
            return std::nullopt;
    }
    if (i != text.size())
        return std::nullopt;
    // A number too small for a double is no number rather than a silent zero.
    if (mantissaNonZero && std::strtod(number.c_str(), nullptr) == 0.0)
        return std::nullopt;
    return number;
}

std::optional<double> plainParse(const QString &text) {
    const std::optional<std::string> number = plainGrammar(text);
    if (!number)
        return std::nullopt;
    const double value = std::strtod(number->c_str(), nullptr);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

bool sameDouble(double a, double b) {
    return a == b && std::signbit(a) == std::signbit(b);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    std::setlocale(LC_NUMERIC, "C");
    for (const QString &text : {QString::fromUtf8(Reference::bytes(data, size)), Reference::latin1(data, size)}) {
        const std::optional<double> expected = plainParse(text);
        const std::optional<double> parsed = DecimalComma::parse(text);
        FUZZ_CHECK(parsed.has_value() == expected.has_value());
        FUZZ_CHECK(!parsed || sameDouble(*parsed, *expected));

        std::optional<qint64> expectedWhole;
        if (expected) {
            const double whole = std::trunc(*expected);
            if (whole >= -9223372036854775808.0 && whole < 9223372036854775808.0)
                expectedWhole = static_cast<qint64>(whole);
        }
        FUZZ_CHECK(DecimalComma::truncated(text) == expectedWhole);
    }
    return 0;
}
