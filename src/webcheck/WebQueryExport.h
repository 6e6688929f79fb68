#pragma once

#include "WebQueryProject.h"

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

// The import file "<Bezeichnung>-qnd.htip" that tells the server which page to fetch and, for
// every defined value, which texts to search for, which object to create and how to read the value.
namespace WebQueryExport {
// Every character as its 8-bit code in two upper-case hexadecimal digits.
QByteArray EncodeHex(const QByteArray &bytes);

QString fileName(const QString &bezeichnung);

struct Outcome {
    QByteArray bytes; // the whole file, every line ended by CR LF; empty on error
    QString error;    // why no file may be written, naming the entry
};

// The import file of `project` (its rows as the export reads them from the project file) over
// `source`, the page as the server fetches it. Rows without a KO name or definition are passed
// over. Every value's search texts are chosen so that the server's search, replayed from the
// start of the page, stands on that value; a value it could not reach stops the export.
// `progress` gets j * 100 / N before row j.
Outcome build(const WebQueryProject &project, const QByteArray &source,
              const std::function<void(int percent)> &progress = {});

// Writes the import file of the project named `bezeichnung` into the program folder (ending with a
// separator), whole or not at all. Its path, or nothing and the error naming the file.
std::optional<QString> write(const QString &programFolder, const QString &bezeichnung, const QByteArray &bytes,
                             QString *error);
} // namespace WebQueryExport
