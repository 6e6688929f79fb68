#include "Captions.h"

#include "DecimalComma.h"
#include "Hex.h"

namespace {
QString pick(const QString &value, const QString &forZero, const QString &forOne) {
    if (value == QLatin1String("0,0"))
        return forZero;
    if (value == QLatin1String("1,0"))
        return forOne;
    return value;
}
} // namespace

QString ExpandWildcards(const QString &text, const QString &value, const WildcardTexts &texts) {
    // Every "$" would build its caption from the whole text, so only the last one shows.
    const qsizetype p = text.lastIndexOf(u'$');
    if (p < 0)
        return text + u' ' + value;
    const QChar c = p + 1 < text.size() ? text.at(p + 1) : QChar();
    QString v;
    switch (c.unicode()) {
    case u'1':
        v = pick(value, texts.wc1b, texts.wc1a);
        break;
    case u'2':
        v = pick(value, texts.wc2a, texts.wc2b);
        break;
    case u'3':
        v = pick(value, texts.wc3b, texts.wc3a);
        break;
    case u'4': {
        const auto whole = DecimalComma::truncated(value);
        v = whole ? QString::number(*whole) : value;
        break;
    }
    case u'5':
        v = HexToText(value).value_or(value);
        break;
    default:
        return text.left(p) + value + text.mid(p + 1);
    }
    return text.left(p) + v + text.mid(p + 2);
}

QString popupCaption(const QString &text, const QString &value, const WildcardTexts &texts) {
    if (text == QLatin1String("-"))
        return text;
    return ExpandWildcards(text, value, texts);
}
