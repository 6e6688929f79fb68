#include "WebQueryProject.h"

#include <QRegularExpression>

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

PagePlace::HostAndPort PagePlace::split(const QString &host, const QString &port) {
    // A name or IPv4 address with one colon, or a bracketed IPv6 address, followed by the port's
    // digits. A bare IPv6 address ("::1") holds colons of its own and stays whole.
    static const QRegularExpression withPort(QStringLiteral(R"(^\s*(\[[^\]]*\]|[^:\[\]]+):([0-9]{1,5})\s*$)"));
    const QRegularExpressionMatch match = withPort.match(host);
    if (!match.hasMatch())
        return {host, port};
    return {match.captured(1), match.captured(2)};
}

bool PagePlace::portInAddress(const QString &port) {
    const QString trimmed = port.trimmed();
    return !trimmed.isEmpty() && trimmed != u"80";
}

QString PagePlace::address(const QString &host, const QString &port, const QString &site) {
    const HostAndPort place = split(host, port);
    return portInAddress(place.port) ? place.host + u':' + place.port.trimmed() + site : place.host + site;
}
