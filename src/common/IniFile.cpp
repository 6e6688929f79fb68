#include "IniFile.h"

#include "AnsiText.h"
#include "CheckedFileWriter.h"
#include "FileMessages.h"

#include <QFile>

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

QString unquote(QStringView value) {
    value = trimBlanks(value);
    return (isQuoted(value) ? value.mid(1, value.size() - 2) : value).toString();
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
    const QString text = AnsiText::decode(bytes);
    Section *current = nullptr;
    auto lines = QStringView(text).split(u'\n');
    // The line break that ends the last line starts no line of its own; kept, it would add a
    // blank line at every save.
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    for (QStringView line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QStringView trimmed = trimBlanks(line);
        if (trimmed.startsWith(u'[')) {
            const qsizetype close = trimmed.indexOf(u']');
            const QString name = trimBlanks(close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).toString();
            current = &appendSection(name);
            continue;
        }
        Entry entry;
        entry.rawLine = line.toString();
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && !trimmed.startsWith(u';')) {
            entry.key = trimBlanks(line.left(eq)).toString();
            entry.value = unquote(line.mid(eq + 1));
        }
        // Blank lines before the first section stay too: dropped, they could bring what follows to
        // the file's start, where bytes that look like a byte-order mark would be taken for one.
        if (current)
            addEntry(*current, std::move(entry), current->entries.size());
        else
            m_preamble.push_back(std::move(entry));
    }
}

IniFile::Section &IniFile::appendSection(const QString &name) {
    m_index[name.toLower()].append(static_cast<qsizetype>(m_sections.size()));
    m_sections.push_back(Section{name, {}, {}, false});
    return m_sections.back();
}

IniFile::Section *IniFile::findSection(const QString &name) {
    const auto found = m_index.constFind(name.toLower());
    if (found == m_index.cend() || found->isEmpty())
        return nullptr;
    return &m_sections[static_cast<size_t>(found->first())];
}

const IniFile::Section *IniFile::findSection(const QString &name) const {
    return const_cast<IniFile *>(this)->findSection(name);
}

std::optional<size_t> IniFile::entryIndex(const Section &section, const QString &key) {
    if (section.indexed) {
        const auto found = section.keys.constFind(key.toLower());
        return found == section.keys.cend() ? std::nullopt : std::optional<size_t>(*found);
    }
    for (size_t i = 0; i < section.entries.size(); ++i) {
        const QString &name = section.entries[i].key;
        if (!name.isEmpty() && name.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return std::nullopt;
}

const IniFile::Entry *IniFile::findEntry(const Section &section, const QString &key) {
    const std::optional<size_t> i = entryIndex(section, key);
    return i ? &section.entries[*i] : nullptr;
}

void IniFile::addEntry(Section &section, Entry entry, size_t at) {
    // Only keyless lines (blank ones) ever stand behind `at`, so no indexed entry moves.
    const auto index = [&section](const QString &key, size_t i) {
        const QString lower = key.toLower();
        if (!section.keys.contains(lower)) // the first of duplicate keys wins
            section.keys.insert(lower, i);
    };
    if (section.indexed && !entry.key.isEmpty())
        index(entry.key, at);
    section.entries.insert(section.entries.begin() + static_cast<std::ptrdiff_t>(at), std::move(entry));
    if (!section.indexed && section.entries.size() > kIndexedSectionSize) {
        section.indexed = true;
        for (size_t i = 0; i < section.entries.size(); ++i)
            if (!section.entries[i].key.isEmpty())
                index(section.entries[i].key, i);
    }
}

QString IniFile::readString(const QString &section, const QString &key, const QString &defaultValue) const {
    const Section *s = findSection(section);
    if (!s)
        return defaultValue;
    const Entry *e = findEntry(*s, key);
    return e ? e->value : defaultValue;
}

int IniFile::readInt(const QString &section, const QString &key, int defaultValue) const {
    const Section *s = findSection(section);
    const Entry *e = s ? findEntry(*s, key) : nullptr;
    if (!e)
        return defaultValue;
    bool ok = false;
    const int value = e->value.toInt(&ok, 10);
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
    for (qsizetype i = 0; i < static_cast<qsizetype>(m_sections.size()); ++i) {
        const Section &s = m_sections[static_cast<size_t>(i)];
        if (!s.erased && m_index.value(s.name.toLower()).first() == i)
            names.append(s.name);
    }
    return names;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value) {
    Section *s = findSection(section);
    if (!s)
        s = &appendSection(section);
    const QString clean = cleanValue(value);
    const QString stored = storedForm(clean);
    if (const std::optional<size_t> found = entryIndex(*s, key)) {
        Entry &e = s->entries[*found];
        e.value = clean;
        e.rawLine = e.key + u'=' + stored;
        return;
    }
    // Keep blank lines at the section's end after the new key, as a hand-edited file had them.
    auto pos = s->entries.end();
    while (pos != s->entries.begin() && std::prev(pos)->key.isEmpty() && trimBlanks(std::prev(pos)->rawLine).isEmpty())
        --pos;
    addEntry(*s, Entry{key, clean, key + u'=' + stored}, static_cast<size_t>(pos - s->entries.begin()));
}

void IniFile::writeInt(const QString &section, const QString &key, int value) {
    writeString(section, key, QString::number(value));
}

void IniFile::eraseSection(const QString &section) {
    const auto found = m_index.find(section.toLower());
    if (found == m_index.end())
        return;
    for (qsizetype i : std::as_const(*found))
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
    const auto lineEnd = [this](const QString &line) {
        return line.endsWith(u'\r') ? QStringLiteral("\r\n") : m_newLine;
    };
    QString text;
    for (const Entry &e : m_preamble)
        text += e.rawLine + lineEnd(e.rawLine);
    for (const Section &s : m_sections) {
        if (s.erased)
            continue;
        text += u'[' + s.name + u']' + m_newLine;
        for (const Entry &e : s.entries)
            text += e.rawLine + lineEnd(e.rawLine);
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
