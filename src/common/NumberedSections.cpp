#include "NumberedSections.h"

#include "IniFile.h"

#include <algorithm>

namespace {
bool isNumeric(const QString &name) {
    return !name.isEmpty() && std::all_of(name.begin(), name.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
}

// Compares decimal numbers of any length without converting them, so "99999999999999999999"
// neither overflows nor sorts wrongly.
bool numericLess(const QString &a, const QString &b) {
    const auto significant = [](const QString &s) {
        qsizetype i = 0;
        while (i + 1 < s.size() && s.at(i) == u'0')
            ++i;
        return QStringView(s).mid(i);
    };
    const QStringView x = significant(a);
    const QStringView y = significant(b);
    if (x.size() != y.size())
        return x.size() < y.size();
    return x < y;
}
} // namespace

QStringList numberedSections(const IniFile &ini) {
    QStringList names;
    for (const QString &name : ini.sections())
        if (isNumeric(name))
            names.append(name);
    // Files written here are in order already: checking that costs a pass, sorting more.
    if (!std::is_sorted(names.cbegin(), names.cend(), numericLess))
        std::stable_sort(names.begin(), names.end(), numericLess);
    return names;
}

bool eraseNumberedSection(const QString &path, qsizetype flatPosition, QString *error) {
    IniFile ini(path);
    const QString section = QString::number(flatPosition);
    // A file that cannot be read may well hold the section: save() refuses it, which is no success.
    if (ini.readOk() && !ini.hasSection(section))
        return true;
    ini.eraseSection(section);
    if (ini.save())
        return true;
    if (error)
        *error = ini.errorString();
    return false;
}
