// Any file: what the INI reader gives agrees with a plain reader of the same rules, and reading,
// saving and reading again gives the same (the saved file is a fixed point of read and save).
#include "FuzzCheck.h"
#include "IniFile.h"
#include "Reference.h"

#include <vector>

namespace {
const QByteArray kByteOrderMark("\xEF\xBB\xBF");

struct PlainSection {
    QString name;
    std::vector<std::pair<QString, QString>> keys; // first of each name only
};

QString trimBlanks(const QString &text) {
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && (text.at(from) == u' ' || text.at(from) == u'\t'))
        ++from;
    while (to > from && (text.at(to - 1) == u' ' || text.at(to - 1) == u'\t'))
        --to;
    return text.mid(from, to - from);
}

// Sections in file order, first of each name; keys of the first section of that name only.
std::vector<PlainSection> plainRead(QByteArray bytes) {
    if (bytes.startsWith(kByteOrderMark))
        bytes.remove(0, kByteOrderMark.size());
    QStringList lines = Reference::decodeCp1252(bytes).split(u'\n');
    if (lines.back().isEmpty())
        lines.removeLast();
    std::vector<PlainSection> sections;
    PlainSection *current = nullptr;
    for (QString line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QString trimmed = trimBlanks(line);
        if (trimmed.startsWith(u'[')) {
            const QString name = trimBlanks(trimmed.mid(1).section(u']', 0, 0));
            current = nullptr;
            bool seen = false;
            for (const PlainSection &s : sections)
                seen = seen || s.name.toLower() == name.toLower();
            if (!seen)
                current = &sections.emplace_back(PlainSection{name, {}});
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!current || eq < 0 || trimmed.startsWith(u';'))
            continue;
        const QString key = trimBlanks(line.left(eq));
        QString value = trimBlanks(line.mid(eq + 1));
        if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
            value = value.mid(1, value.size() - 2);
        bool seen = key.isEmpty();
        for (const auto &[k, v] : current->keys)
            seen = seen || k.compare(key, Qt::CaseInsensitive) == 0;
        if (!seen)
            current->keys.emplace_back(key, value);
    }
    return sections;
}

QString swapAsciiCase(const QString &text) {
    QString swapped = text;
    for (QChar &c : swapped)
        if (c.unicode() < 0x80 && c.isLetter())
            c = c.isUpper() ? c.toLower() : c.toUpper();
    return swapped;
}

void checkReads(const IniFile &ini, const std::vector<PlainSection> &expected) {
    QStringList names;
    for (const PlainSection &s : expected) {
        names.append(s.name);
        FUZZ_CHECK(ini.hasSection(swapAsciiCase(s.name)));
        for (const auto &[key, value] : s.keys) {
            FUZZ_CHECK(ini.readString(s.name, key, QStringLiteral("\x01")) == value);
            FUZZ_CHECK(ini.readString(swapAsciiCase(s.name), swapAsciiCase(key)) == value);
        }
    }
    FUZZ_CHECK(ini.sections() == names);
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray original = Reference::bytes(data, size);
    const QString path = Reference::tempFile(QStringLiteral("roundtrip.ini"));
    Reference::writeFile(path, original);
    const std::vector<PlainSection> expected = plainRead(original);

    IniFile first(path);
    FUZZ_CHECK(first.readOk());
    checkReads(first, expected);
    FUZZ_CHECK(first.save());
    const QByteArray saved = Reference::readFile(path);
    FUZZ_CHECK(saved.startsWith(kByteOrderMark) == original.startsWith(kByteOrderMark));
    // A file whose lines all end in CR LF (or that has no line end) is saved with CR LF.
    const bool crLf = original.count('\n') == original.count("\r\n");
    FUZZ_CHECK(!crLf || saved.count('\n') == saved.count("\r\n"));

    IniFile second(path);
    checkReads(second, expected);
    FUZZ_CHECK(second.save());
    FUZZ_CHECK(Reference::readFile(path) == saved);
    return 0;
}
