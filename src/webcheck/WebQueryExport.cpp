#include "WebQueryExport.h"

#include "AnsiText.h"
#include "CheckedFileWriter.h"
#include "FileMessages.h"
#include "PageSource.h"
#include "ProjectFile.h"
#include "ServerSearch.h"

namespace {
const QByteArray kValueLead = R"(22701|2|<?CMD CMD="CHGID" OLDID="123" ?>|0||)";
const QByteArray kClosing = kValueLead + "0|0|0|0|0|0|0";

// The LeadMarker is the shortest of these lengths that occurs only once from the search position
// up to the value; the longest one may need repeated searches to step over earlier occurrences.
constexpr qsizetype kShortestMarker = 5;
constexpr qsizetype kLongestMarker = 10;

QByteArray searchRecord(const QByteArray &text) {
    return kValueLead + "2|" + WebQueryExport::EncodeHex(text) + "|0|0|0|0|0";
}

QByteArray objectRecord(char operation, const QByteArray &table, const QString &koName, const QString &koType,
                        QChar conversion) {
    const QString element = QStringLiteral(R"(<?OBJ TYPE="11001" ID="124" TEXT="%1" FMT="%2" ?>)").arg(koName, koType);
    return kValueLead + operation + '|' + table + '|' + AnsiText::encode(element) + "|0|" +
           AnsiText::encode(QString(conversion)) + "|0|0";
}

// Each piece of the list ends at a "|"; text after the last one is not used.
QByteArray listTable(const QString &list) {
    QByteArray table;
    const QStringList pieces = list.split(u'|');
    for (qsizetype i = 0; i + 1 < pieces.size(); ++i)
        table += WebQueryExport::EncodeHex(AnsiText::encode(pieces.at(i))) + "0D0A";
    return table;
}

// What keeps a definition "O|C|TT|Name|list" (operation, conversion flag, two-digit object type,
// name) from being read at the places the export takes its parts from, as a whole message; nothing
// when it can be read. The type must be digits: the server knows only the numbered object types.
// Every message names the entry by the number its keys in the project file end with ("ANH-3" is
// entry 3) and by its KO name.
std::optional<QString> definitionProblem(qsizetype j, const AnalysisEntry &entry) {
    const QString &d = entry.definition;
    const QString number = QString::number(j);
    if (d.size() < 8)
        return QStringLiteral("Eintrag %1 (KO \"%2\"): Die Definition \"%3\" (ANH-%1) ist unvollständig: Sie braucht "
                              "die Form \"Operation|Umwandlung|Typ|KO-Name\" mit zweistelligem Typ.")
            .arg(number, entry.koName, d);
    for (const qsizetype bar : {1, 3, 6})
        if (d.at(bar) != u'|')
            return QStringLiteral("Eintrag %1 (KO \"%2\"): Die Definition \"%3\" (ANH-%1) hat an Stelle %4 kein \"|\"; "
                                  "ihre Form ist \"Operation|Umwandlung|Typ|KO-Name\".")
                .arg(number, entry.koName, d, QString::number(bar + 1));
    const auto digit = [](QChar c) {
        return c >= u'0' && c <= u'9';
    };
    if (!digit(d.at(4)) || !digit(d.at(5)))
        return QStringLiteral("Eintrag %1 (KO \"%2\"): Der KO-Typ \"%3\" an Stelle 5 und 6 der Definition \"%4\" "
                              "(ANH-%1) ist keine zweistellige Zahl.")
            .arg(number, entry.koName, d.mid(4, 2), d);
    return std::nullopt;
}
} // namespace

QByteArray WebQueryExport::EncodeHex(const QByteArray &bytes) {
    return bytes.toHex().toUpper();
}

QString WebQueryExport::fileName(const QString &bezeichnung) {
    return bezeichnung + QStringLiteral("-qnd.htip");
}

WebQueryExport::Outcome WebQueryExport::build(const WebQueryProject &project, const QByteArray &source,
                                              const std::function<void(int percent)> &progress) {
    const QString view = PageSource::viewText(source);
    const qsizetype length = source.size();
    QList<QByteArray> lines{
        "IMPORT:IPBIDIR,VERSION:1.0",
        "PROJ:7f3c9e21d04b5a86c2e1f09b3d7a4c58",
        "LIB:NO",
        R"(22700|<?CMD CMD="ID" OLDID="123" ?>|0|0|)" +
            AnsiText::encode(
                QStringList{project.bezeichnung, project.host, project.port, u"1"_qs, QString(), project.site}.join(
                    u'|')) +
            "||0|||0|0||0|0",
        kClosing,
    };
    qsizetype searchPosition = 1; // where the server's next search begins
    const qsizetype count = project.entries.size();
    for (qsizetype j = 0; j < count; ++j) {
        if (progress)
            progress(static_cast<int>(j * 100 / count));
        const AnalysisEntry &entry = project.entries.at(j);
        const QString &definition = entry.definition;
        if (entry.koName.isEmpty() || definition.isEmpty())
            continue;
        const QString number = QString::number(j);
        if (const auto problem = definitionProblem(j, entry))
            return {{}, *problem};
        if (entry.koName.contains(u'|'))
            return {{},
                    QStringLiteral("Eintrag %1 (KO \"%2\"): Der KO-Name (ANJ-%1) darf kein \"|\" enthalten.")
                        .arg(number, entry.koName)};
        bool startOk = false, endOk = false;
        const qsizetype start = entry.start.toLongLong(&startOk);
        const qsizetype end = entry.end.toLongLong(&endOk);
        if (!startOk || !endOk || start < 1 || end < start || end > length)
            return {{},
                    QStringLiteral("Eintrag %1 (KO \"%2\"): Start \"%3\" (ANC-%1) und Ende \"%4\" (AND-%1) bezeichnen "
                                   "keinen Wert der Seite (%5 Zeichen).")
                        .arg(number, entry.koName, entry.start, entry.end, QString::number(length))};
        // The LeadMarker ends right before the value and begins no earlier than the search position.
        const qsizetype room = start - searchPosition;
        if (room < 1)
            return {{},
                    QStringLiteral("Eintrag %1 (KO \"%2\"): Zwischen dem vorigen Wert und diesem steht kein "
                                   "Zeichen; der Server könnte den Wert nicht finden.")
                        .arg(number, entry.koName)};
        qsizetype markerLength = 0;
        bool unique = false;
        for (qsizetype i = kShortestMarker; i <= kLongestMarker && !unique; ++i) {
            markerLength = std::min(i, room);
            const QStringView marker = QStringView(view).mid(start - markerLength - 1, markerLength);
            unique = !ServerSearch::occursBetween(view, marker, searchPosition, start - markerLength);
        }
        const qsizetype markerStart = start - markerLength;
        const QByteArray marker = source.mid(markerStart - 1, markerLength);
        const QStringView markerView = QStringView(view).mid(markerStart - 1, markerLength);
        const qsizetype repeats =
            unique ? 0 : ServerSearch::countBetween(view, markerView, searchPosition, markerStart);
        lines.append(searchRecord(marker));
        for (qsizetype k = 0; k < repeats; ++k) {
            lines.append(kClosing);
            lines.append(searchRecord(marker));
        }
        const QChar operation = definition.at(0);
        const QString nameAndList = definition.mid(7);
        const qsizetype bar = nameAndList.indexOf(u'|');
        const QString koName = nameAndList.left(bar < 0 ? nameAndList.size() : bar);
        const QString koType = definition.mid(4, 2);
        const QChar conversion = definition.at(2);
        if (operation == u'4')
            lines.append(objectRecord('4', "0", koName, koType, conversion));
        else if (operation == u'6')
            lines.append(objectRecord('6', listTable(bar < 0 ? QString() : nameAndList.mid(bar + 1)), koName, koType,
                                      conversion));
        const QByteArray trail = source.mid(end, 3);
        lines.append(searchRecord(trail));
        lines.append(kClosing);

        // The server's cursor after this value's searches: the marker's hits, then the trail's.
        qsizetype cursor = searchPosition;
        for (qsizetype k = 0; k <= repeats; ++k)
            cursor = ServerSearch::find(view, markerView, cursor) + 1;
        Q_ASSERT(cursor == markerStart + 1);
        if (const qsizetype hit = ServerSearch::find(view, QStringView(view).mid(end, trail.size()), cursor))
            cursor = hit + 1;
        searchPosition = cursor;
    }
    QByteArray bytes;
    for (const QByteArray &line : lines)
        bytes += line + "\r\n";
    return {bytes, {}};
}

std::optional<QString> WebQueryExport::write(const QString &programFolder, const QString &bezeichnung,
                                             const QByteArray &bytes, QString *error) {
    const QString name = fileName(bezeichnung);
    const QString path = programFolder + name;
    if (const auto refused = ProjectFile::nameError(name)) {
        *error = FileMessages::cannotWrite(path, *refused);
        return std::nullopt;
    }
    if (!CheckedFileWriter::writeFile(path, bytes, error))
        return std::nullopt;
    return path;
}
