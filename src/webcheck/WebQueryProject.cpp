#include "WebQueryProject.h"

AnalysisEntry AnalysisEntry::whenKeysMissing() {
    const QString zero = QStringLiteral("0");
    return AnalysisEntry{{}, -1, zero, zero, zero, zero, zero, zero, zero, zero};
}

QString ListText::toStored(const QString &lines) {
    if (lines.isEmpty())
        return {};
    QString text = lines;
    text.replace(u"\r\n"_qs, u"\n"_qs);
    QString stored;
    for (const QString &line : text.split(u'\n'))
        stored += line + u'|';
    return stored;
}

QString ListText::toLines(const QString &stored) {
    if (!stored.endsWith(u'|'))
        return stored;
    QString lines = stored.chopped(1);
    lines.replace(u'|', u'\n');
    return lines;
}
