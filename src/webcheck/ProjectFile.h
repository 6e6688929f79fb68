#pragma once

#include "WebQueryProject.h"

#include <QString>
#include <optional>

// The project file "<Bezeichnung>-<host>-qnd.ovw" in the program folder: the header in section
// "OVWCHead", every row as ten numbered keys in section "OVWC". A host text that carries its port
// is stored taken apart into host and port.
namespace ProjectFile {
// More rows are neither read nor kept by an analysis: a file or page cannot grow the list without end.
constexpr int kMaxEntries = 100000;

// "<Bezeichnung>-<host>-qnd.ovw", any file system taking the host: a colon in it (an IPv6 address)
// is written "_". A port that the page's address names follows the host after "_", so projects
// that differ only in their port have files of their own: "Wetter-127.0.0.1_8080-qnd.ovw". Without
// such a port the name is the one projects had before ports were named.
QString fileName(const QString &bezeichnung, const QString &host, const QString &port);
// The name a save of `project` takes in the folder: fileName(), except that a file saved before
// ports were named keeps its project (the same host and port are saved there again; a project on
// port 80 whose name it has gets a name with "_80" instead of writing over it).
QString fileNameIn(const QString &programFolder, const WebQueryProject &project);
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

// A number of rows beyond kMaxEntries reads as kMaxEntries; a missing "ANZAHL" reads as 1. A host
// that carries its port reads as host and port.
// Nothing (and the error) when the file exists but cannot be read.
std::optional<WebQueryProject> load(const QString &path, QString *error, MissingKeys missing = MissingKeys::ForEditing);
} // namespace ProjectFile
