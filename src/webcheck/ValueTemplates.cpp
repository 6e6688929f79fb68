#include "ValueTemplates.h"

#include "FileMessages.h"
#include "IniFieldTable.h"
#include "ProjectFile.h"

#include <QDir>

namespace {
const QString kSection = QStringLiteral("OVWV");

struct TemplateLine {
    QString text;
};

// Every line's key ends with its number.
const IniFieldTable<TemplateLine> &lineFields() {
    using F = IniFieldTable<TemplateLine>;
    static const F table{F::text(QStringLiteral("LINE"), &TemplateLine::text)};
    return table;
}
} // namespace

QString ValueTemplates::fileName(const QStringList &lines) {
    return (lines.isEmpty() ? QString() : lines.first()) + QStringLiteral("-qnd.wcv");
}

bool ValueTemplates::save(const QString &programFolder, const QStringList &lines, QString *error) {
    const QString name = fileName(lines);
    const QString path = programFolder + name;
    if (const auto refused = ProjectFile::nameError(name)) {
        *error = FileMessages::cannotWrite(path, *refused);
        return false;
    }
    IniFile ini(path);
    ini.eraseSection(kSection);
    for (qsizetype i = 0; i < lines.size(); ++i)
        lineFields().write(ini, kSection, TemplateLine{lines.at(i)}, QString::number(i));
    if (!ini.save()) {
        *error = ini.errorString();
        return false;
    }
    return true;
}

std::optional<QStringList> ValueTemplates::load(const QString &path, QString *error) {
    const IniFile ini(path);
    if (!ini.readOk()) {
        *error = ini.errorString();
        return std::nullopt;
    }
    QStringList lines;
    for (int i = 0; i < kMaxLines; ++i) {
        const QString suffix = QString::number(i);
        if (!ini.hasKey(kSection, lineFields().fields().front().key + suffix))
            break;
        TemplateLine line;
        lineFields().read(ini, kSection, line, suffix);
        lines.append(line.text);
    }
    return lines;
}

QStringList ValueTemplates::list(const QString &programFolder) {
    return QDir(programFolder).entryList({QStringLiteral("*.wcv")}, QDir::Files, QDir::Name);
}
