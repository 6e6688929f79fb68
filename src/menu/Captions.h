#pragma once

#include <QString>

// The words "$1", "$2" and "$3" show for the values "1,0" and "0,0"; the user can replace them.
// Note the order of "$2": its first text stands for 0, its second for 1.
struct WildcardTexts {
    QString wc1a = QStringLiteral("auf");   // "$1" with "1,0"
    QString wc1b = QStringLiteral("zu");    // "$1" with "0,0"
    QString wc2a = QStringLiteral("oben");  // "$2" with "0,0"
    QString wc2b = QStringLiteral("unten"); // "$2" with "1,0"
    QString wc3a = QStringLiteral("an");    // "$3" with "1,0"
    QString wc3b = QStringLiteral("aus");   // "$3" with "0,0"

    friend bool operator==(const WildcardTexts &, const WildcardTexts &) = default;
};

// The caption of an entry text with a value worked in. The last "$" of the text decides:
// "$1".."$3" show the wildcard words for "1,0"/"0,0" (else the value), "$4" the value's integer
// part, "$5" the value decoded from hex pairs, any other "$" the value itself (the following
// character stays). Without "$" the caption is the text, one blank and the value.
QString ExpandWildcards(const QString &text, const QString &value, const WildcardTexts &texts);

// The popup's caption: as above, except that the separator text "-" stays "-".
QString popupCaption(const QString &text, const QString &value, const WildcardTexts &texts);
