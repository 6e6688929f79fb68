#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <optional>

// The check of an import file against the live page: the file's records from the fifth line on as
// rows, and the server's search replayed over the page, showing what each search record leads to.
namespace WebQueryCheck {
// Two hexadecimal digits per character; a last, unpaired digit is ignored. Nothing when a pair is
// not hexadecimal.
std::optional<QByteArray> DecodeHex(const QString &text);

struct Row {
    QString koName;    // the TEXT attribute of the record's object element
    QString value;     // filled by the search pass for the row after a search row
    QString operation; // the last character of field 5
    QString find;      // field 6, decoded unless it is one character long
};

struct File {
    QString bezeichnung, host, site, port; // from the project record (line 4)
    bool projectRead = false;              // the file has the four lines up to the project record
    QList<Row> rows;
    QString error; // why the file was not read to its end, naming it; rows read so far stay
};

// Lines end with CR LF or LF. A file of fewer than four lines gives an error and nothing else.
File read(const QByteArray &bytes, const QString &path);
// The file at `path`; one that cannot be read, or larger than the largest page (an import file is a
// few lines per value), gives an error naming it and nothing else.
File readFile(const QString &path);

// Where the last hit's five characters stand (from 1), for the source view's selection.
struct Selection {
    qsizetype start = 0;
    qsizetype length = 0;
};
// Replays the search rows in order over `source` (the page source's text): after a hit the
// next row shows the five characters that follow the found text, after a miss "FEHLER".
Selection searchPass(QList<Row> &rows, QStringView source);
} // namespace WebQueryCheck
