#include "Reference.h"

#include "FuzzCheck.h"

#include <QFile>
#include <QTemporaryDir>
#include <array>

namespace {
// 0x80 to 0x9F; 0 marks the bytes the code page leaves undefined.
constexpr std::array<char16_t, 32> kHighControls = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
} // namespace

char16_t Reference::fromCp1252(uint8_t byte) {
    if (byte >= 0x80 && byte <= 0x9F && kHighControls[byte - 0x80] != 0)
        return kHighControls[byte - 0x80];
    return byte;
}

std::optional<uint8_t> Reference::toCp1252(char16_t code) {
    for (int byte = 0; byte < 256; ++byte)
        if (fromCp1252(static_cast<uint8_t>(byte)) == code)
            return static_cast<uint8_t>(byte);
    return std::nullopt;
}

QString Reference::decodeCp1252(const QByteArray &bytes) {
    QString text;
    for (char c : bytes)
        text.append(QChar(fromCp1252(static_cast<uint8_t>(c))));
    return text;
}

QString Reference::throughCp1252(const QString &text) {
    QString result;
    for (QChar c : text)
        result.append(toCp1252(c.unicode()) ? c : QChar(u'?'));
    return result;
}

QByteArray Reference::bytes(const uint8_t *data, size_t size) {
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

QString Reference::latin1(const uint8_t *data, size_t size) {
    QString text;
    for (size_t i = 0; i < size; ++i)
        text.append(QChar(static_cast<char16_t>(data[i])));
    return text;
}

QString Reference::tempFile(const QString &name) {
    static QTemporaryDir dir;
    FUZZ_CHECK(dir.isValid());
    return dir.filePath(name);
}

void Reference::writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    FUZZ_CHECK(file.write(bytes) == bytes.size());
}

QByteArray Reference::readFile(const QString &path) {
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::ReadOnly));
    return file.readAll();
}
