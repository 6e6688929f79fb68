#pragma once

#include <QFileDevice>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace IniNames {
// Whether two names are equal once lower-cased, and a hash that agrees.
bool same(const QString &a, const QString &b);
size_t hash(const QString &name, size_t seed);
} // namespace IniNames

// An INI file with the Windows private-profile rules: section and key names match without
// regard to case, the first of duplicate sections or keys wins, values lose their edge blanks
// and tabs and then one pair of enclosing quotes, and a missing file, section or key yields the
// caller's default. The writer quotes a value that reading would change, so every value written
// reads back as it was (line breaks excepted, see writeString). The file is read whole on
// construction and written whole by save(), which replaces it atomically. Texts are Windows-1252
// on disk; a UTF-8 byte-order mark is skipped and kept; the file keeps its line ends (a new file
// gets CR LF, so files move between installations byte for byte).
class IniFile {
public:
    // A larger file is not read (nor, then, written over): no settings or menu file comes near it.
    static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;

    explicit IniFile(QString path);

    const QString &path() const { return m_path; }
    // False when the file existed but could not be read (errorString() names it and says why); a
    // missing file is an empty document.
    bool readOk() const { return m_readOk; }

    QString readString(const QString &section, const QString &key, const QString &defaultValue = {}) const;
    // A whole number in decimal (optional sign); anything else, or a missing key, gives the default.
    int readInt(const QString &section, const QString &key, int defaultValue) const;
    bool hasKey(const QString &section, const QString &key) const;
    bool hasSection(const QString &section) const;
    // Section names in file order, first occurrence only.
    QStringList sections() const;

    // Replaces the key's value, or appends the key to its section (the section to the file).
    // Line breaks in the value become blanks so no value can start a line of its own.
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInt(const QString &section, const QString &key, int value);
    void eraseSection(const QString &section);

    // Writes the document to a temporary file beside the target and renames it over the target.
    // Refuses a file that exists but could not be read. False with errorString() naming the file
    // on failure; the previous file then stays intact.
    bool save(QFileDevice::Permissions permissions = {});
    QString errorString() const { return m_error; }

    // Open, write one key, close: how a settings edit stores itself.
    static bool writeOne(const QString &path, const QString &section, const QString &key, const QString &value,
                         QString *error = nullptr, QFileDevice::Permissions permissions = {});

private:
    // A line of the file. Its text is a stretch of the text read, or a string of its own once
    // written here: reading a file makes no string per line, only per section name.
    struct Entry {
        QString own;         // the line written here; null for a line as read
        qsizetype start = 0; // where a line as read starts in the text read
        qsizetype length = 0;
        // Within the line. A line without a key (comments, garbage) has keyLength 0.
        qsizetype keyStart = 0;
        qsizetype keyLength = 0;
        qsizetype valueStart = 0; // without the edge blanks and the enclosing quotes
        qsizetype valueLength = 0;
    };
    // A section or key name as the index compares it: equal when lower-cased alike. Hashing and
    // comparing make no lower-cased copy unless the name has other than ASCII letters.
    struct Name {
        QString text;
        friend bool operator==(const Name &a, const Name &b) { return IniNames::same(a.text, b.text); }
        friend size_t qHash(const Name &name, size_t seed) { return IniNames::hash(name.text, seed); }
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
        // Key -> index of its first entry, built once the section is larger than
        // kIndexedSectionSize, so that sections of thousands of keys (a web query project's rows) read
        // and write in linear time while small ones are scanned without building strings.
        QHash<Name, size_t> keys;
        bool indexed = false;
        bool erased = false;       // dropped at save; keeps erasing many sections linear
        bool repeated = false;     // a section of the same name came first
        qsizetype nextOfName = -1; // the next section of the same name
    };
    // The sections of one name (not erased): the first is the one read, the last gets the next.
    struct SameName {
        qsizetype first;
        qsizetype last;
    };

    QStringView lineOf(const Entry &entry) const;
    QStringView keyOf(const Entry &entry) const { return lineOf(entry).mid(entry.keyStart, entry.keyLength); }
    QStringView valueOf(const Entry &entry) const { return lineOf(entry).mid(entry.valueStart, entry.valueLength); }
    void readLines();
    Section *findSection(const QString &name);
    const Section *findSection(const QString &name) const;
    Section &appendSection(const QString &name);
    static constexpr size_t kIndexedSectionSize = 16;
    std::optional<size_t> entryIndex(const Section &section, const QString &key) const;
    const Entry *findEntry(const Section &section, const QString &key) const;
    void addEntry(Section &section, Entry entry, size_t at) const;
    void indexKeys(Section &section) const;
    void indexKey(Section &section, size_t at) const;

    QString m_path;
    bool m_readOk = true;
    QString m_readFailure; // the reason, when the file could not be read
    bool m_byteOrderMark = false;
    QString m_newLine = QStringLiteral("\r\n");
    QString m_text;                // the text read; never changed, the lines read point into it
    std::vector<Entry> m_preamble; // lines before the first section
    std::vector<Section> m_sections;
    QHash<Name, SameName> m_index; // not erased
    QString m_error;
};
