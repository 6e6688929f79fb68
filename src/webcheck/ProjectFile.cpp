#include "ProjectFile.h"

#include "CheckedFileWriter.h"
#include "FileMessages.h"
#include "IniFieldTable.h"

#include <QFileInfo>
#include <algorithm>

namespace {
const QString kHead = QStringLiteral("OVWCHead");
const QString kRows = QStringLiteral("OVWC");
const QString kCount = QStringLiteral("ANZAHL");

const IniFieldTable<WebQueryProject> &headFields() {
    using F = IniFieldTable<WebQueryProject>;
    static const F table{
        F::text(QStringLiteral("WABEZ"), &WebQueryProject::bezeichnung),
        F::text(QStringLiteral("WAHOST"), &WebQueryProject::host),
        F::text(QStringLiteral("WAPORT"), &WebQueryProject::port),
        F::text(QStringLiteral("WASITE"), &WebQueryProject::site),
    };
    return table;
}

// Every row's keys end with the row's number.
const IniFieldTable<AnalysisEntry> &rowFields() {
    using F = IniFieldTable<AnalysisEntry>;
    static const F table{
        F::text(QStringLiteral("ANA-"), &AnalysisEntry::value),
        F::number(QStringLiteral("ANB-"), &AnalysisEntry::kind),
        F::text(QStringLiteral("ANC-"), &AnalysisEntry::start),
        F::text(QStringLiteral("AND-"), &AnalysisEntry::end),
        F::text(QStringLiteral("ANE-"), &AnalysisEntry::valueType),
        F::text(QStringLiteral("ANF-"), &AnalysisEntry::list),
        F::text(QStringLiteral("ANG-"), &AnalysisEntry::conversion),
        F::text(QStringLiteral("ANH-"), &AnalysisEntry::definition),
        F::text(QStringLiteral("ANI-"), &AnalysisEntry::koType),
        F::text(QStringLiteral("ANJ-"), &AnalysisEntry::koName),
    };
    return table;
}

QString nameOf(const QString &bezeichnung, const QString &host) {
    return bezeichnung + u'-' + host + QStringLiteral("-qnd.ovw");
}

// The port the page's address takes from a port text: "80" where it names none.
QString addressPort(const QString &port) {
    return PagePlace::portInAddress(port) ? port.trimmed() : QStringLiteral("80");
}

// The port of the project file at `path`; nothing when there is no file to read. Its name was made
// from its Bezeichnung and host, so the port is what may tell it from a project of the same name.
std::optional<QString> portIn(const QString &path) {
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    const IniFile ini(path);
    if (!ini.readOk())
        return std::nullopt;
    WebQueryProject project;
    headFields().read(ini, kHead, project);
    return addressPort(PagePlace::split(project.host, project.port).port);
}

QString hostInName(QString host) {
    return host.replace(u':', u'_');
}
} // namespace

QString ProjectFile::fileName(const QString &bezeichnung, const QString &host, const QString &port) {
    const PagePlace::HostAndPort place = PagePlace::split(host, port);
    const QString hostPart = hostInName(place.host);
    return nameOf(bezeichnung,
                  PagePlace::portInAddress(place.port) ? hostPart + u'_' + place.port.trimmed() : hostPart);
}

QString ProjectFile::fileNameIn(const QString &programFolder, const WebQueryProject &project) {
    const QString name = fileName(project.bezeichnung, project.host, project.port);
    const PagePlace::HostAndPort place = PagePlace::split(project.host, project.port);
    const QString port = addressPort(place.port);
    // The name files had before ports were named, whatever their port.
    const QString older = nameOf(project.bezeichnung, hostInName(place.host));
    const auto olderPort = portIn(programFolder + older);
    if (name == older)
        return olderPort && *olderPort != port ? nameOf(project.bezeichnung, hostInName(place.host) + u"_80"_qs) : name;
    return olderPort == port && !QFileInfo::exists(programFolder + name) ? older : name;
}

std::optional<QString> ProjectFile::nameError(const QString &fileName) {
    static const QString forbidden = QStringLiteral("\\/:*?\"<>|");
    for (const QChar c : fileName) {
        if (c.unicode() < 0x20 || forbidden.contains(c))
            return QStringLiteral("Der Name enthält ein Zeichen, das in Dateinamen nicht erlaubt ist "
                                  "(\\ / : * ? \" < > | oder ein Steuerzeichen).");
    }
    // Refused before the first save: such a name would save once and fail from then on, as its
    // temporary name would pass the file system's limit.
    if (const QString problem = CheckedFileWriter::nameProblem(fileName); !problem.isEmpty())
        return problem;
    return std::nullopt;
}

bool ProjectFile::save(const QString &programFolder, const WebQueryProject &given, QString *error) {
    WebQueryProject project = given;
    const PagePlace::HostAndPort place = PagePlace::split(project.host, project.port);
    project.host = place.host;
    project.port = place.port;
    const QString name = fileNameIn(programFolder, project);
    const QString path = programFolder + name;
    if (const auto refused = nameError(name)) {
        *error = FileMessages::cannotWrite(path, *refused);
        return false;
    }
    // A file that exists but could not be read is not written over; the error says why.
    IniFile ini(path);
    ini.eraseSection(kHead);
    ini.eraseSection(kRows);
    headFields().write(ini, kHead, project);
    ini.writeInt(kHead, kCount, static_cast<int>(project.entries.size()));
    for (qsizetype j = 0; j < project.entries.size(); ++j)
        rowFields().write(ini, kRows, project.entries.at(j), QString::number(j));
    if (!ini.save()) {
        *error = ini.errorString();
        return false;
    }
    return true;
}

std::optional<WebQueryProject> ProjectFile::load(const QString &path, QString *error, MissingKeys missing) {
    const IniFile ini(path);
    if (!ini.readOk()) {
        *error = ini.errorString();
        return std::nullopt;
    }
    const bool forExport = missing == MissingKeys::ForExport;
    WebQueryProject project;
    if (forExport)
        project.port = QStringLiteral("80");
    headFields().read(ini, kHead, project);
    const PagePlace::HostAndPort place = PagePlace::split(project.host, project.port);
    project.host = place.host;
    project.port = place.port;
    const int count = std::clamp(ini.readInt(kHead, kCount, 1), 0, kMaxEntries);
    project.entries.reserve(count);
    for (int j = 0; j < count; ++j) {
        AnalysisEntry entry = forExport ? AnalysisEntry{} : AnalysisEntry::whenKeysMissing();
        rowFields().read(ini, kRows, entry, QString::number(j));
        project.entries.append(entry);
    }
    return project;
}
