#include "WebQueryCheck.h"

#include "AnsiText.h"
#include "FileMessages.h"
#include "Hex.h"
#include "PageSource.h"
#include "ServerSearch.h"

#include <QFile>
#include <QHash>

namespace {
constexpr qsizetype kShownCharacters = 5;

// The text between the 5th and the 6th double quote, empty when there are fewer.
QString koNameOf(const QString &element) {
    const QStringList parts = element.split(u'"');
    return parts.size() > 6 ? parts.at(5) : QString();
}

QString field(const QStringList &fields, qsizetype i) {
    return i < fields.size() ? fields.at(i) : QString();
}
} // namespace

std::optional<QByteArray> WebQueryCheck::DecodeHex(const QString &text) {
    return Hex::decodePairs(text);
}

WebQueryCheck::File WebQueryCheck::read(const QByteArray &bytes, const QString &path) {
    File file;
    QStringList lines = AnsiText::decode(bytes).split(u'\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the end of the last line
    for (QString &line : lines)
        if (line.endsWith(u'\r'))
            line.chop(1);
    if (lines.size() < 4) {
        file.error =
            QStringLiteral("Die Datei \"%1\" ist keine Importdatei: Sie hat weniger als vier Zeilen.").arg(path);
        return file;
    }
    file.projectRead = true;
    const QStringList project = lines.at(3).split(u'|');
    file.bezeichnung = field(project, 4);
    file.host = field(project, 5);
    file.port = field(project, 6);
    file.site = field(project, 9);
    for (qsizetype i = 4; i < lines.size(); ++i) {
        const QStringList fields = lines.at(i).split(u'|');
        Row row;
        row.koName = koNameOf(field(fields, 7));
        row.operation = field(fields, 5).right(1);
        const QString find = field(fields, 6);
        if (find.size() == 1) {
            row.find = find;
        } else if (const auto decoded = DecodeHex(find)) {
            row.find = AnsiText::decode(*decoded);
        } else {
            file.error = QStringLiteral("Die Datei \"%1\" enthält in Zeile %2 einen Suchtext, der keine "
                                        "Hexadezimalzahl ist: \"%3\".")
                             .arg(path, QString::number(i + 1), find.left(40));
            return file;
        }
        file.rows.append(row);
    }
    return file;
}

WebQueryCheck::File WebQueryCheck::readFile(const QString &path) {
    QFile file(path);
    File refused;
    if (file.size() > PageSource::kMaxBytes)
        refused.error = FileMessages::cannotRead(path, QStringLiteral("Sie ist zu groß."));
    else if (!file.open(QIODevice::ReadOnly))
        refused.error = FileMessages::cannotRead(path, file.errorString());
    else
        return read(file.readAll(), path);
    return refused;
}

WebQueryCheck::Selection WebQueryCheck::searchPass(QList<Row> &rows, QStringView source) {
    Selection selection;
    qsizetype cursor = 1;
    // A text missed from some cursor is missed from every later one: a file of many rows searching
    // for what the page lacks scans the page once per text, not once per row.
    QHash<QString, qsizetype> missedFrom;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        if (rows.at(i).operation != u"2")
            continue;
        const QString &find = rows.at(i).find;
        const auto missed = missedFrom.constFind(find);
        const qsizetype hit =
            missed != missedFrom.cend() && *missed <= cursor ? 0 : ServerSearch::find(source, find, cursor);
        if (hit == 0 && (missed == missedFrom.cend() || cursor < *missed))
            missedFrom.insert(find, cursor);
        if (hit != 0) {
            cursor = hit + 1;
            selection.start = hit + find.size();
            selection.length = std::min(kShownCharacters, std::max<qsizetype>(0, source.size() - selection.start + 1));
        }
        if (i + 1 < rows.size())
            rows[i + 1].value =
                hit == 0 ? QStringLiteral("FEHLER") : source.mid(selection.start - 1, selection.length).toString();
    }
    return selection;
}
