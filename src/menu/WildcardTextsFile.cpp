#include "WildcardTextsFile.h"

#include "IniFile.h"

#include <array>
#include <utility>

namespace {
using Word = QString WildcardTexts::*;
const std::array<std::pair<QString, Word>, 6> kKeys = {{{QStringLiteral("WC1A"), &WildcardTexts::wc1a},
                                                        {QStringLiteral("WC1B"), &WildcardTexts::wc1b},
                                                        {QStringLiteral("WC2A"), &WildcardTexts::wc2a},
                                                        {QStringLiteral("WC2B"), &WildcardTexts::wc2b},
                                                        {QStringLiteral("WC3A"), &WildcardTexts::wc3a},
                                                        {QStringLiteral("WC3B"), &WildcardTexts::wc3b}}};
} // namespace

WildcardTexts WildcardTextsFile::read(const IniFile &ini) {
    WildcardTexts texts;
    for (const auto &[key, word] : kKeys)
        texts.*word = ini.readString(kSection, key, texts.*word);
    return texts;
}

void WildcardTextsFile::write(IniFile &ini, const WildcardTexts &texts) {
    for (const auto &[key, word] : kKeys)
        ini.writeString(kSection, key, texts.*word);
}
