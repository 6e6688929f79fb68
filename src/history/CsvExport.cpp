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
// The rows go to the file in pieces of about this size.
constexpr qsizetype kPieceBytes = 64 * 1024;

// A value from the bus ("21.5") in the form a German spreadsheet reads as a number ("21,5").
std::optional<QString> asNumber(const QString &value) {
    QString comma = value;
    comma.replace(u'.', u',');
    if (!DecimalComma::parse(comma))
        return std::nullopt;
    return comma.trimmed();
}

QByteArray header() {
    return kByteOrderMark + (HistoryTexts::kCsvHeader + kNewLine).toUtf8();
}

QByteArray line(const ValueRecord &row) {
    const QString time = QDateTime::fromMSecsSinceEpoch(row.timeMs).toLocalTime().toString(kTimeFormat);
    return (time + u';' + CsvExport::field(row.gan) + u';' + CsvExport::field(row.value) + kNewLine).toUtf8();
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
    QByteArray bytes = header();
    for (const ValueRecord &row : rows)
        bytes += line(row);
    return bytes;
}

Result writeFile(const QString &file, const RowSource &rows) {
    Result result;
    CheckedFileWriter writer(file);
    QByteArray piece = header();
    bool failed = !writer.open();
    if (!failed) {
        result.cut = rows([&](const ValueRecord &row) {
            piece += line(row);
            ++result.rows;
            if (piece.size() >= kPieceBytes) {
                failed = !writer.write(piece);
                piece.clear();
            }
            return !failed;
        });
        failed = failed || !writer.write(piece) || !writer.commit();
    }
    if (failed) {
        result.message = writer.errorString();
        return result;
    }
    result.ok = true;
    const QString count = QLocale(QLocale::German).toString(result.rows);
    result.message = (result.cut ? HistoryTexts::kExportCut : HistoryTexts::kExported).arg(count, file);
    return result;
}
} // namespace CsvExport
