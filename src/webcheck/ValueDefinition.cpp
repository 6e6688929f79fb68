#include "ValueDefinition.h"

namespace {
qsizetype position(const QString &text) {
    bool ok = false;
    const qsizetype value = text.toLongLong(&ok);
    return ok ? value : 0;
}

QChar operationOf(int valueType) {
    return valueType == 1 ? u'6' : u'4';
}

bool isKoSpec(const QString &spec) {
    return spec.size() >= 3 && spec != ValueDefinition::kNoKoSpec;
}
} // namespace

const QStringList &ValueDefinition::koTypes() {
    static const QStringList types{u"EIS1+EIS2+EIS7_1BIT"_qs,
                                   u"EIS6_8BIT"_qs,
                                   u"NONEIS_8BIT_RTR"_qs,
                                   u"EIS5_16BIT"_qs,
                                   u"EIS2+EIS6_8BIT"_qs,
                                   u"EIS?_8BIT"_qs,
                                   u"EIS10_16BIT_UNSIGNED"_qs,
                                   u"EIS10_16BIT_SIGNED"_qs,
                                   u"EIS11_32BIT_UNSIGNED"_qs,
                                   u"EIS11_32BIT_SIGNED"_qs,
                                   u"EIS?_14BYTE"_qs,
                                   u"EIS3_3BYTE_TIME"_qs,
                                   u"EIS4_3BYTE_DATE"_qs,
                                   u"EIS?_4BIT"_qs,
                                   u"EIS9_4BYTE"_qs,
                                   u"EIS8_2BIT"_qs,
                                   u"EIS?_DALI"_qs,
                                   u"EIS?_SRO"_qs};
    return types;
}

QString ValueDefinition::koSpec(int valueType, bool conversion, int koType, const QString &koName) {
    return QString(operationOf(valueType)) + u'|' + (conversion ? u'1' : u'0') + u'|' +
           QStringLiteral("%1").arg(koType, 2, 10, QLatin1Char('0')) + u'|' + koName;
}

QString ValueDefinition::withValueType(QString spec, int valueType) {
    if (isKoSpec(spec))
        spec[0] = operationOf(valueType);
    return spec;
}

QString ValueDefinition::withConversion(QString spec, bool conversion) {
    if (isKoSpec(spec))
        spec[2] = conversion ? u'1' : u'0';
    return spec;
}

void ValueDefinition::readMoreAtStart(AnalysisEntry &entry, QStringView source) {
    const qsizetype start = position(entry.start);
    if (start <= 1 || start - 1 > source.size())
        return;
    entry.value.prepend(source.at(start - 2));
    entry.start = QString::number(start - 1);
}

void ValueDefinition::readLessAtStart(AnalysisEntry &entry) {
    if (entry.value.size() <= 1)
        return;
    entry.value.remove(0, 1);
    entry.start = QString::number(position(entry.start) + 1);
}

void ValueDefinition::readMoreAtEnd(AnalysisEntry &entry, QStringView source) {
    const qsizetype end = position(entry.end);
    if (end < 1 || end >= source.size())
        return;
    entry.value.append(source.at(end));
    entry.end = QString::number(end + 1);
}

void ValueDefinition::readLessAtEnd(AnalysisEntry &entry) {
    if (entry.value.size() <= 1)
        return;
    entry.value.chop(1);
    entry.end = QString::number(position(entry.end) - 1);
}

void ValueDefinition::apply(AnalysisEntry &entry, int valueType, const QString &list, bool conversion,
                            const QString &spec, int koType, const QString &koName) {
    const QString stored = ListText::toStored(list);
    entry.valueType = QString::number(valueType);
    entry.list = stored;
    entry.conversion = conversion ? u"-1"_qs : u"0"_qs;
    entry.definition = spec + u'|' + stored;
    entry.koType = QString::number(koType);
    entry.koName = koName;
}
