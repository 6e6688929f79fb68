#include "ProjectFile.h"

#include "CheckedFileWriter.h"
#include "FileMessages.h"
#include "IniFieldTable.h"

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
    // Refused before the first save: such a name would save once and fail from then on, as its
    // temporary name would pass the file system's limit.
    if (const QString problem = CheckedFileWriter::nameProblem(fileName); !problem.isEmpty())
        return problem;
    return std::nullopt;
}

bool ProjectFile::save(const QString &programFolder, const WebQueryProject &project, QString *error) {
    const QString name = fileName(project.bezeichnung, project.host);
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
    const int count = std::clamp(ini.readInt(kHead, kCount, 1), 0, kMaxEntries);
    project.entries.reserve(count);
    for (int j = 0; j < count; ++j) {
        AnalysisEntry entry = forExport ? AnalysisEntry{} : AnalysisEntry::whenKeysMissing();
        rowFields().read(ini, kRows, entry, QString::number(j));
        project.entries.append(entry);
    }
    return project;
}
