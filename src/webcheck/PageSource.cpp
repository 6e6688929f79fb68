#include "PageSource.h"

#include "AnsiText.h"

#include <algorithm>

QByteArray PageSource::fromDocument(const QByteArray &bytes) {
    QByteArray out;
    out.reserve(bytes.size() + bytes.count('\n') * 2);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c != '\n') {
            out.append(c);
        } else if (i + 1 < bytes.size() && bytes.at(i + 1) == '\t') {
            // The first replacement's CR LF gets its LF replaced by the second one.
            out.append("\r\r\n");
            ++i;
        } else {
            out.append("\r\n");
        }
    }
    return out;
}

QString PageSource::viewText(const QByteArray &source) {
    return AnsiText::decode(source);
}

qsizetype FindInSource(QStringView source, QStringView text, qsizetype from, qsizetype count) {
    if (text.isEmpty() || from < 1 || count < text.size() || from > source.size())
        return 0;
    const QStringView region = source.mid(from - 1, std::min(count, source.size() - from + 1));
    const qsizetype found = region.indexOf(text, 0, Qt::CaseInsensitive);
    return found < 0 ? 0 : from + found;
}
