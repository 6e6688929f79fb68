#include "IniFile.h"

#include "AnsiText.h"
#include "CheckedFileWriter.h"
#include "FileMessages.h"

#include <QFile>

#include <algorithm>

namespace {
const QByteArray kByteOrderMark("\xEF\xBB\xBF");

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

// The private-profile rule trims blanks and tabs only; other spaces (a no-break space) are text.
QStringView trimBlanks(QStringView text) {
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.mid(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

bool isQuoted(QStringView value) {
    return value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front();
}

QString cleanValue(QString value) {
    value.replace(u"\r\n"_qs, u" "_qs);
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

// The text that reads back as the value: one pair of quotes around a value the reader would
// otherwise change (edge blanks or tabs, or enclosing quotes of its own).
QString storedForm(const QString &value) {
    const bool changesOnReading =
        !value.isEmpty() && (isBlank(value.front()) || isBlank(value.back()) || isQuoted(value));
    return changesOnReading ? u'"' + value + u'"' : value;
}
} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {
    QFile file(m_path);
    if (!file.exists())
        return;
    const auto fail = [this](const QString &reason) {
        m_readOk = false;
        m_readFailure = reason;
        m_error = FileMessages::cannotRead(m_path, reason);
    };
    if (!file.open(QIODevice::ReadOnly)) {
        fail(file.errorString());
        return;
    }
    // One byte past the budget tells a file too large; a device without a size cannot grow the
    // buffer beyond it either.
    const qint64 wanted = file.isSequential() ? kMaxFileBytes : qMin(file.size(), kMaxFileBytes);
    QByteArray bytes = file.read(wanted + 1);
    if (file.error() != QFileDevice::NoError) {
        fail(file.errorString());
        return;
    }
    if (bytes.size() > kMaxFileBytes) {
        fail(QStringLiteral("Sie ist größer als %1 MiB.").arg(kMaxFileBytes / (1024 * 1024)));
        return;
    }
    // A byte-order mark from an editor is no part of the first line; it goes back on saving.
    if (bytes.startsWith(kByteOrderMark)) {
        m_byteOrderMark = true;
        bytes.remove(0, kByteOrderMark.size());
    }
    // LF as soon as one line ends in LF alone. Judged by one line, the choice could change from one
    // save to the next (an empty first line is not kept, a line of its own may end in CR).
    if (bytes.count('\n') > bytes.count("\r\n"))
        m_newLine = QStringLiteral("\n");
    m_text = AnsiText::decode(bytes);
    readLines();
}

namespace {
bool isAscii(QStringView text) {
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; });
}

char16_t asciiLower(char16_t c) {
    return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + (u'a' - u'A')) : c;
}
} // namespace

bool IniNames::same(const QString &a, const QString &b) {
    // The section names handed out by sections() come back as they are.
    if (a.constData() == b.constData() && a.size() == b.size())
        return true;
    if (isAscii(a) && isAscii(b)) {
        if (a.size() != b.size())
            return false;
        for (qsizetype i = 0; i < a.size(); ++i)
            if (asciiLower(a.at(i).unicode()) != asciiLower(b.at(i).unicode()))
                return false;
        return true;
    }
    return a.toLower() == b.toLower();
}

// The hash of the lower-cased name, also when it is worked out char by char.
size_t IniNames::hash(const QString &name, size_t seed) {
    const auto over = [seed](QStringView text, auto lower) {
        size_t h = seed ^ 0xcbf29ce484222325U;
        for (QChar c : text)
            h = (h ^ lower(c.unicode())) * 0x100000001b3U;
        // The table picks buckets by the low bits, which the multiplications alone leave weak.
        h ^= h >> 33;
        h *= 0xff51afd7ed558ccdU;
        h ^= h >> 33;
        return h;
    };
    if (isAscii(name))
        return over(name, asciiLower);
    return over(name.toLower(), [](char16_t c) { return c; });
}

void IniFile::readLines() {
    const QStringView text(m_text);
    Section *current = nullptr;
    // A section's lines are gathered here first and then moved into it in one allocation.
    std::vector<Entry> lines;
    const auto closeSection = [this, &current, &lines] {
        std::vector<Entry> &into = current ? current->entries : m_preamble;
        into.assign(std::make_move_iterator(lines.begin()), std::make_move_iterator(lines.end()));
        lines.clear();
        if (current)
            indexKeys(*current);
    };
    // The line break that ends the last line starts no line of its own; kept, it would add a
    // blank line at every save.
    for (qsizetype start = 0; start < text.size();) {
        qsizetype end = text.indexOf(u'\n', start);
        if (end < 0)
            end = text.size();
        QStringView line = text.mid(start, end - start);
        const qsizetype lineStart = start;
        start = end + 1;
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QStringView trimmed = trimBlanks(line);
        if (trimmed.startsWith(u'[')) {
            const qsizetype close = trimmed.indexOf(u']');
            const QString name = trimBlanks(close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).toString();
            closeSection();
            current = &appendSection(name);
            continue;
        }
        Entry entry;
        entry.start = lineStart;
        entry.length = line.size();
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && !trimmed.startsWith(u';')) {
            const QStringView key = trimBlanks(line.left(eq));
            entry.keyStart = key.isEmpty() ? 0 : key.data() - line.data();
            entry.keyLength = key.size();
            QStringView value = trimBlanks(line.mid(eq + 1));
            if (isQuoted(value))
                value = value.mid(1, value.size() - 2);
            entry.valueStart = value.isEmpty() ? 0 : value.data() - line.data();
            entry.valueLength = value.size();
        }
        // Blank lines before the first section stay too: dropped, they could bring what follows to
        // the file's start, where bytes that look like a byte-order mark would be taken for one.
        lines.push_back(std::move(entry));
    }
    closeSection();
}

QStringView IniFile::lineOf(const Entry &entry) const {
    return entry.own.isNull() ? QStringView(m_text).mid(entry.start, entry.length) : QStringView(entry.own);
}

IniFile::Section &IniFile::appendSection(const QString &name) {
    const qsizetype at = static_cast<qsizetype>(m_sections.size());
    m_sections.push_back(Section{name, {}, {}, false, false, false, -1});
    const auto found = m_index.find(Name{name});
    if (found == m_index.end()) {
        m_index.insert(Name{name}, SameName{at, at});
    } else {
        m_sections.back().repeated = true;
        m_sections[static_cast<size_t>(found->last)].nextOfName = at;
        found->last = at;
    }
    return m_sections.back();
}

IniFile::Section *IniFile::findSection(const QString &name) {
    const auto found = m_index.constFind(Name{name});
    return found == m_index.cend() ? nullptr : &m_sections[static_cast<size_t>(found->first)];
}

const IniFile::Section *IniFile::findSection(const QString &name) const {
    return const_cast<IniFile *>(this)->findSection(name);
}

std::optional<size_t> IniFile::entryIndex(const Section &section, const QString &key) const {
    if (section.indexed) {
        const auto found = section.keys.constFind(Name{key});
        return found == section.keys.cend() ? std::nullopt : std::optional<size_t>(*found);
    }
    for (size_t i = 0; i < section.entries.size(); ++i) {
        const Entry &entry = section.entries[i];
        // Case-insensitive comparison folds unit by unit, so only names of one length can match.
        if (entry.keyLength > 0 && entry.keyLength == key.size() && keyOf(entry).compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return std::nullopt;
}

const IniFile::Entry *IniFile::findEntry(const Section &section, const QString &key) const {
    const std::optional<size_t> i = entryIndex(section, key);
    return i ? &section.entries[*i] : nullptr;
}

void IniFile::indexKey(Section &section, size_t at) const {
    const Entry &entry = section.entries[at];
    if (entry.keyLength == 0)
        return;
    Name key{keyOf(entry).toString()};
    if (!section.keys.contains(key)) // the first of duplicate keys wins
        section.keys.insert(std::move(key), at);
}

void IniFile::indexKeys(Section &section) const {
    if (section.indexed || section.entries.size() <= kIndexedSectionSize)
        return;
    section.indexed = true;
    section.keys.reserve(static_cast<qsizetype>(section.entries.size()));
    for (size_t i = 0; i < section.entries.size(); ++i)
        indexKey(section, i);
}

void IniFile::addEntry(Section &section, Entry entry, size_t at) const {
    // Only keyless lines (blank ones) ever stand behind `at`, so no indexed entry moves.
    section.entries.insert(section.entries.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
    if (section.indexed)
        indexKey(section, at);
    else
        indexKeys(section);
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const {
    const Section *s = findSection(section);
    if (!s)
        return defaultValue;
    const Entry *e = findEntry(*s, key);
    return e ? valueOf(*e).toString() : defaultValue;
}

int IniFile::readInt(const QString &section, const QString &key, int defaultValue) const {
    const Section *s = findSection(section);
    const Entry *e = s ? findEntry(*s, key) : nullptr;
    if (!e)
        return defaultValue;
    bool ok = false;
    const int value = valueOf(*e).toInt(&ok, 10);
    return ok ? value : defaultValue;
}

bool IniFile::hasKey(const QString &section, const QString &key) const {
    const Section *s = findSection(section);
    return s && findEntry(*s, key);
}

bool IniFile::hasSection(const QString &section) const {
    return findSection(section) != nullptr;
}

QStringList IniFile::sections() const {
    QStringList names;
    names.reserve(m_index.size());
    for (const Section &s : m_sections)
        if (!s.erased && !s.repeated)
            names.append(s.name);
    return names;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value) {
    Section *s = findSection(section);
    if (!s)
        s = &appendSection(section);
    const QString clean = cleanValue(value);
    const QString stored = storedForm(clean);
    // The value stands after the key, its "=" and the opening quote if any.
    const auto written = [&clean, &stored](QStringView keyText) {
        Entry entry;
        entry.own.reserve(keyText.size() + 1 + stored.size());
        entry.own.append(keyText).append(u'=').append(stored);
        entry.length = entry.own.size();
        entry.keyLength = keyText.size();
        entry.valueStart = keyText.size() + 1 + (stored.size() - clean.size()) / 2;
        entry.valueLength = clean.size();
        return entry;
    };
    if (const std::optional<size_t> found = entryIndex(*s, key)) {
        Entry &e = s->entries[*found];
        e = written(keyOf(e));
        return;
    }
    // Keep blank lines at the section's end after the new key, as a hand-edited file had them.
    auto pos = s->entries.end();
    while (pos != s->entries.begin() && std::prev(pos)->keyLength == 0 && trimBlanks(lineOf(*std::prev(pos))).isEmpty())
        --pos;
    addEntry(*s, written(key), static_cast<size_t>(pos - s->entries.begin()));
}

void IniFile::writeInt(const QString &section, const QString &key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::eraseSection(const QString &section) {
    const auto found = m_index.find(Name{section});
    if (found == m_index.end())
        return;
    for (qsizetype i = found->first; i >= 0; i = m_sections[static_cast<size_t>(i)].nextOfName)
        m_sections[static_cast<size_t>(i)].erased = true;
    m_index.erase(found);
}

bool IniFile::save(QFileDevice::Permissions permissions) {
    // What the file holds besides the keys written here is unknown: replacing it would lose that.
    if (!m_readOk) {
        m_error = FileMessages::cannotWrite(
            m_path, QStringLiteral("Sie konnte nicht gelesen werden (%1) und wird darum nicht überschrieben.")
                        .arg(m_readFailure.endsWith(u'.') ? m_readFailure.chopped(1) : m_readFailure));
        return false;
    }
    // The reader drops one CR before each LF, so a line whose own text ends in CR needs CR LF
    // to read back whole, also in a file with LF line ends.
    const QString crLf = QStringLiteral("\r\n");
    const auto lineEnd = [this, &crLf](QStringView line) -> const QString & {
        return line.endsWith(u'\r') ? crLf : m_newLine;
    };
    // Measured first, so the text is made in one allocation.
    qsizetype size = 0;
    const auto measure = [&](const std::vector<Entry> &entries) {
        for (const Entry &e : entries)
            size += e.length + crLf.size();
    };
    measure(m_preamble);
    for (const Section &s : m_sections) {
        if (!s.erased) {
            size += s.name.size() + 2 + m_newLine.size();
            measure(s.entries);
        }
    }
    QString text;
    text.reserve(size);
    const auto append = [&](const std::vector<Entry> &entries) {
        for (const Entry &e : entries) {
            const QStringView line = lineOf(e);
            text.append(line);
            text.append(lineEnd(line));
        }
    };
    append(m_preamble);
    for (const Section &s : m_sections) {
        if (s.erased)
            continue;
        text.append(u'[');
        text.append(s.name);
        text.append(u']');
        text.append(m_newLine);
        append(s.entries);
    }
    QByteArray bytes;
    if (m_byteOrderMark)
        bytes = kByteOrderMark;
    bytes += AnsiText::encode(text);
    if (!CheckedFileWriter::writeFile(m_path, bytes, &m_error, permissions))
        return false;
    m_error.clear();
    return true;
}

bool IniFile::writeOne(const QString &path, const QString &section, const QString &key, const QString &value,
                       QString *error, QFileDevice::Permissions permissions) {
    IniFile ini(path);
    ini.writeString(section, key, value);
    const bool ok = ini.save(permissions);
    if (!ok && error)
        *error = ini.errorString();
    return ok;
}
