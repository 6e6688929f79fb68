#include "IniFile.h"

#include "AnsiText.h"

#include <QFile>
#include <QSaveFile>

namespace {
QString cleanValue(QString value) {
    value.replace(u"\r\n"_qs, u" "_qs);
    value.replace(u'\r', u' ');
    value.replace(u'\n', u' ');
    return value;
}

QString unquote(QString value) {
    value = value.trimmed();
    if (value.size() >= 2 && (value.front() == u'"' || value.front() == u'\'') && value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return value;
}

#ifdef Q_OS_WIN
constexpr const char *kNewLine = "\r\n";
#else
constexpr const char *kNewLine = "\n";
#endif
} // namespace

IniFile::IniFile(QString path) : m_path(std::move(path)) {
    QFile file(m_path);
    if (!file.exists())
        return;
    if (!file.open(QIODevice::ReadOnly)) {
        m_readOk = false;
        return;
    }
    const QString text = AnsiText::decode(file.readAll());
    Section *current = nullptr;
    auto lines = QStringView(text).split(u'\n');
    // The line break that ends the last line starts no line of its own; kept, it would add a
    // blank line at every save.
    if (!lines.isEmpty() && lines.back().isEmpty())
        lines.removeLast();
    for (QStringView line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
        const QStringView trimmed = line.trimmed();
        if (trimmed.startsWith(u'[')) {
            const qsizetype close = trimmed.indexOf(u']');
            const QString name = (close < 0 ? trimmed.mid(1) : trimmed.mid(1, close - 1)).trimmed().toString();
            current = &appendSection(name);
            continue;
        }
        Entry entry;
        entry.rawLine = line.toString();
        const qsizetype eq = line.indexOf(u'=');
        if (eq > 0 && !trimmed.startsWith(u';')) {
            entry.key = line.left(eq).trimmed().toString();
            entry.value = unquote(line.mid(eq + 1).toString());
        }
        if (current)
            current->entries.push_back(std::move(entry));
        else if (!trimmed.isEmpty())
            m_preamble.push_back(std::move(entry));
    }
}

IniFile::Section &IniFile::appendSection(const QString &name) {
    m_index[name.toLower()].append(static_cast<qsizetype>(m_sections.size()));
    m_sections.push_back(Section{name, {}});
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

const IniFile::Entry *IniFile::findEntry(const Section &section, const QString &key) {
    for (const Entry &e : section.entries)
        if (!e.key.isEmpty() && e.key.compare(key, Qt::CaseInsensitive) == 0)
            return &e;
    return nullptr;
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
    for (Entry &e : s->entries) {
        if (!e.key.isEmpty() && e.key.compare(key, Qt::CaseInsensitive) == 0) {
            e.value = clean;
            e.rawLine = e.key + u'=' + clean;
            return;
        }
    }
    // Keep blank lines at the section's end after the new key, as a hand-edited file had them.
    auto pos = s->entries.end();
    while (pos != s->entries.begin() && std::prev(pos)->key.isEmpty() && std::prev(pos)->rawLine.trimmed().isEmpty())
        --pos;
    s->entries.insert(pos, Entry{key, clean, key + u'=' + clean});
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
    QString text;
    for (const Entry &e : m_preamble)
        text += e.rawLine + QLatin1String(kNewLine);
    for (const Section &s : m_sections) {
        if (s.erased)
            continue;
        text += u'[' + s.name + u']' + QLatin1String(kNewLine);
        for (const Entry &e : s.entries)
            text += e.rawLine + QLatin1String(kNewLine);
    }
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly)) {
        m_error = QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2").arg(m_path, file.errorString());
        return false;
    }
    file.write(AnsiText::encode(text));
    if (permissions)
        file.setPermissions(permissions);
    if (!file.commit()) {
        m_error = QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2").arg(m_path, file.errorString());
        return false;
    }
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
