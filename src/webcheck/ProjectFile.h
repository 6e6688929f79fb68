#pragma once

#include "WebQueryProject.h"

#include <QString>
#include <optional>

// The project file "<Bezeichnung>-<host>-qnd.ovw" in the program folder: the header in section
// "OVWCHead", every row as ten numbered keys in section "OVWC".
namespace ProjectFile {
// More rows are neither read nor kept by an analysis: a file or page cannot grow the list without end.
constexpr int kMaxEntries = 100000;

QString fileName(const QString &bezeichnung, const QString &host);
// Why a file name built from user text cannot be used (it would leave the program folder, a
// Windows file name forbids one of its characters, or it is too long to be saved safely); nothing
// when it can.
std::optional<QString> nameError(const QString &fileName);

// Replaces both sections of the file and keeps whatever else it holds. On failure the previous
// file stays as it was and the error names the file.
bool save(const QString &programFolder, const WebQueryProject &project, QString *error);
// What a missing key reads as: for editing, the window's defaults (a row's kind -1, its other fields
// "0"); for the export, empty texts and the port "80", so a row without a KO name is passed over.
enum class MissingKeys { ForEditing, ForExport };

// A number of rows beyond kMaxEntries reads as kMaxEntries; a missing "ANZAHL" reads as 1.
// Nothing (and the error) when the file exists but cannot be read.
std::optional<WebQueryProject> load(const QString &path, QString *error, MissingKeys missing = MissingKeys::ForEditing);
} // namespace ProjectFile
