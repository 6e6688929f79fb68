#include "ProjectFile.h"

#include "IniFile.h"

#include <algorithm>
#include <variant>

namespace {
const QString kHead = QStringLiteral("OVWCHead");
const QString kRows = QStringLiteral("OVWC");
const QString kCount = QStringLiteral("ANZAHL");

// The header and row keys in the order the file stores them; reading and writing both walk these
// lists, so no key can be read but not written. Defaults come from the object read into.
template <typename T> struct Field {
    const char *key;
    std::variant<QString T::*, int T::*> member;
};

const Field<WebQueryProject> kHeadFields[] = {
    {"WABEZ", &WebQueryProject::bezeichnung},
    {"WAHOST", &WebQueryProject::host},
    {"WAPORT", &WebQueryProject::port},
    {"WASITE", &WebQueryProject::site},
};

const Field<AnalysisEntry> kRowFields[] = {
    {"ANA-", &AnalysisEntry::value},      {"ANB-", &AnalysisEntry::kind},       {"ANC-", &AnalysisEntry::start},
    {"AND-", &AnalysisEntry::end},        {"ANE-", &AnalysisEntry::valueType},  {"ANF-", &AnalysisEntry::list},
    {"ANG-", &AnalysisEntry::conversion}, {"ANH-", &AnalysisEntry::definition}, {"ANI-", &AnalysisEntry::koType},
    {"ANJ-", &AnalysisEntry::koName},
};

template <typename T, size_t N>
void readFields(const IniFile &ini, const QString &section, const Field<T> (&fields)[N], const QString &suffix,
                T &into) {
    for (const Field<T> &f : fields) {
        const QString key = QLatin1String(f.key) + suffix;
        if (auto text = std::get_if<QString T::*>(&f.member))
            into.*(*text) = ini.readString(section, key, into.*(*text));
        else
            into.*std::get<int T::*>(f.member) = ini.readInt(section, key, into.*std::get<int T::*>(f.member));
    }
}

template <typename T, size_t N>
void writeFields(IniFile &ini, const QString &section, const Field<T> (&fields)[N], const QString &suffix,
                 const T &from) {
    for (const Field<T> &f : fields) {
        const QString key = QLatin1String(f.key) + suffix;
        if (auto text = std::get_if<QString T::*>(&f.member))
            ini.writeString(section, key, from.*(*text));
        else
            ini.writeInt(section, key, from.*std::get<int T::*>(f.member));
    }
}

QString cannotWrite(const QString &path, const QString &reason) {
    return QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2").arg(path, reason);
}
} // namespace

QString ProjectFile::fileName(const QString &bezeichnung, const QString &host) {
    return bezeichnung + u'-' + host + QStringLiteral("-qnd.ovw");
}

std::optional<QString> ProjectFile::nameError(const QString &fileName) {
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : fileName) {
        if (c.unicode() < 0x20 || forbidden.contains(c))
            return QStringLiteral("Der Name enthält ein Zeichen, das in Dateinamen nicht erlaubt ist "
                                  "(\\ / : * ? \" < > | oder ein Steuerzeichen).");
    }
    return std::nullopt;
}

bool ProjectFile::save(const QString &programFolder, const WebQueryProject &project, QString *error) {
    const QString name = fileName(project.bezeichnung, project.host);
    const QString path = programFolder + name;
    if (const auto refused = nameError(name)) {
        *error = cannotWrite(path, *refused);
        return false;
    }
    IniFile ini(path);
    if (!ini.readOk()) {
        *error = cannotWrite(path, QStringLiteral("Die vorhandene Datei kann nicht gelesen werden."));
        return false;
    }
    ini.eraseSection(kHead);
    ini.eraseSection(kRows);
    writeFields(ini, kHead, kHeadFields, QString(), project);
    ini.writeInt(kHead, kCount, static_cast<int>(project.entries.size()));
    for (qsizetype j = 0; j < project.entries.size(); ++j)
        writeFields(ini, kRows, kRowFields, QString::number(j), project.entries.at(j));
    if (!ini.save()) {
        *error = ini.errorString();
        return false;
    }
    return true;
}

std::optional<WebQueryProject> ProjectFile::load(const QString &path, QString *error) {
    const IniFile ini(path);
    if (!ini.readOk()) {
        *error = QStringLiteral("Die Datei \"%1\" kann nicht gelesen werden.").arg(path);
        return std::nullopt;
    }
    WebQueryProject project;
    readFields(ini, kHead, kHeadFields, QString(), project);
    const int count = std::clamp(ini.readInt(kHead, kCount, 1), 0, kMaxEntries);
    project.entries.reserve(count);
    for (int j = 0; j < count; ++j) {
        AnalysisEntry entry = AnalysisEntry::whenKeysMissing();
        readFields(ini, kRows, kRowFields, QString::number(j), entry);
        project.entries.append(entry);
    }
    return project;
}
