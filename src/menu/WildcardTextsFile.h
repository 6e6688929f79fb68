#pragma once

#include "Captions.h"

class IniFile;

// The six wildcard words in the section [TEXTE] of the settings file, under the keys WC1A, WC1B,
// WC2A, WC2B, WC3A and WC3B (in that order).
namespace WildcardTextsFile {
inline const QString kSection = QStringLiteral("TEXTE");

// Missing keys give their defaults.
WildcardTexts read(const IniFile &ini);
// Writes the six keys in their order.
void write(IniFile &ini, const WildcardTexts &texts);
} // namespace WildcardTextsFile
