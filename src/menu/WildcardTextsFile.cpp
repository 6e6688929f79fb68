#include "WildcardTextsFile.h"

#include "IniFieldTable.h"

namespace {
const IniFieldTable<WildcardTexts> &fields() {
    using F = IniFieldTable<WildcardTexts>;
    static const F table{
        F::text(QStringLiteral("WC1A"), &WildcardTexts::wc1a), F::text(QStringLiteral("WC1B"), &WildcardTexts::wc1b),
        F::text(QStringLiteral("WC2A"), &WildcardTexts::wc2a), F::text(QStringLiteral("WC2B"), &WildcardTexts::wc2b),
        F::text(QStringLiteral("WC3A"), &WildcardTexts::wc3a), F::text(QStringLiteral("WC3B"), &WildcardTexts::wc3b)};
    return table;
}
} // namespace

WildcardTexts WildcardTextsFile::read(const IniFile &ini) {
    WildcardTexts texts;
    fields().read(ini, kSection, texts);
    return texts;
}

void WildcardTextsFile::write(IniFile &ini, const WildcardTexts &texts) {
    fields().write(ini, kSection, texts);
}
