#include "CsvExport.h"

#include "CheckedFileWriter.h"
#include "DecimalComma.h"
#include "HistoryTexts.h"

#include <QDateTime>
#include <QLocale>

namespace {
const QString kTimeFormat = QStringLiteral("dd.MM.yyyy HH:mm:ss");
const QString kNewLine = QStringLiteral("\r\n");
const QByteArray kByteOrderMark("\xEF\xBB\xBF");

// A value from the bus ("21.5") in the form a German spreadsheet reads as a number ("21,5").
std::optional<QString> asNumber(const QString &value) {
    QString comma = value;
    comma.replace(u'.', u',');
    if (!DecimalComma::parse(comma))
        return std::nullopt;
    return comma.trimmed();
}
} // namespace

namespace CsvExport {
QString field(const QString &value) {
    if (const std::optional<QString> number = asNumber(value))
        return *number;
    QString text = value;
    if (!text.isEmpty() && QStringView(u"=+-@\t\r").contains(text.front()))
        text.prepend(u'\'');
    if (text.contains(u';') || text.contains(u'"') || text.contains(u'\n') || text.contains(u'\r'))
        text = u'"' + text.replace(u'"', QStringLiteral("\"\"")) + u'"';
    return text;
}

QByteArray bytes(const QList<ValueRecord> &rows) {
    QString text = HistoryTexts::kCsvHeader + kNewLine;
    for (const ValueRecord &row : rows) {
        text += QDateTime::fromMSecsSinceEpoch(row.timeMs).toLocalTime().toString(kTimeFormat);
        text += u';';
        text += field(row.gan);
        text += u';';
        text += field(row.value);
        text += kNewLine;
    }
    return kByteOrderMark + text.toUtf8();
}

Result writeFile(const QString &file, const QList<ValueRecord> &rows, bool cut) {
    Result result;
    QString error;
    if (!CheckedFileWriter::writeFile(file, bytes(rows), &error)) {
        result.message = error;
        return result;
    }
    result.ok = true;
    result.rows = rows.size();
    result.cut = cut;
    const QString count = QLocale(QLocale::German).toString(result.rows);
    result.message = (cut ? HistoryTexts::kExportCut : HistoryTexts::kExported).arg(count, file);
    return result;
}
} // namespace CsvExport
