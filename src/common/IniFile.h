#pragma once

#include <QFileDevice>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <vector>

// An INI file with the Windows private-profile rules: section and key names match without
// regard to case, the first of duplicate sections or keys wins, values are trimmed and lose
// one pair of enclosing quotes, and a missing file, section or key yields the caller's default.
// The file is read whole on construction and written whole by save(), which replaces it
// atomically. Texts are Windows-1252 on disk.
class IniFile {
public:
    explicit IniFile(QString path);

    const QString &path() const { return m_path; }
    // False when the file existed but could not be read; a missing file is an empty document.
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
    // False with errorString() naming the file on failure; the previous file then stays intact.
    bool save(QFileDevice::Permissions permissions = {});
    QString errorString() const { return m_error; }

    // Open, write one key, close: how a settings edit stores itself.
    static bool writeOne(const QString &path, const QString &section, const QString &key, const QString &value,
                         QString *error = nullptr, QFileDevice::Permissions permissions = {});

private:
    struct Entry {
        QString key; // empty for lines that are kept but carry no key (comments, garbage)
        QString value;
        QString rawLine;
    };
    struct Section {
        QString name;
        std::vector<Entry> entries;
        bool erased = false; // dropped at save; keeps erasing many sections linear
    };

    Section *findSection(const QString &name);
    const Section *findSection(const QString &name) const;
    Section &appendSection(const QString &name);
    static const Entry *findEntry(const Section &section, const QString &key);

    QString m_path;
    bool m_readOk = true;
    std::vector<Entry> m_preamble; // lines before the first section
    std::vector<Section> m_sections;
    // Lower-cased name -> every index of a section of that name, in file order (not erased).
    QHash<QString, QList<qsizetype>> m_index;
    QString m_error;
};
