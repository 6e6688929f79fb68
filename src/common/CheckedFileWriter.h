#pragma once

#include <QByteArray>
#include <QFileDevice>
#include <QString>
#include <QStringList>
#include <memory>

class QSaveFile;

// Writes one file whole or not at all; every file the program writes goes through it.
//
// The bytes go to a temporary file beside the target ("<name>.XXXXXX"), and only when every
// write took all its bytes, the flush and the sync succeeded, is that file renamed over the
// target. Anything else discards the temporary file and leaves the old bytes as they were.
// (QSaveFile alone is not enough: Qt 6.4's commit() reports success when its own final flush
// failed on a full disk, leaving an empty or cut file behind.)
//
// errorString() is the program's German message naming the file, with the system's reason.
class CheckedFileWriter {
public:
    // The temporary name adds a dot and six characters to the file's name.
    static constexpr int kTemporarySuffixLength = 7;
    // The longest file name most file systems accept, in bytes.
    static constexpr int kMaxNameBytes = 255;

    explicit CheckedFileWriter(QString path);
    ~CheckedFileWriter(); // discards what was not committed
    CheckedFileWriter(const CheckedFileWriter &) = delete;
    CheckedFileWriter &operator=(const CheckedFileWriter &) = delete;

    // Creates the temporary file. permissions, when given, are the new file's (an existing file
    // keeps its own unless permissions are given). False, with errorString(), when it cannot.
    bool open(QFileDevice::Permissions permissions = {});
    // Appends bytes; false (and the writer then refuses everything but discard()) when the system
    // took fewer than all of them.
    bool write(const QByteArray &bytes);
    bool write(const char *data, qint64 size);
    // Flushes, checks, syncs and renames over the target. False with errorString() otherwise;
    // the temporary file is then gone and the target unchanged.
    bool commit();
    // Drops the temporary file; the target stays as it was.
    void discard();

    bool isOpen() const;
    // The message naming the file, and the bare reason inside it.
    const QString &errorString() const { return m_error; }
    const QString &reason() const { return m_reason; }

    // The whole file in one call.
    static bool writeFile(const QString &path, const QByteArray &bytes, QString *error = nullptr,
                          QFileDevice::Permissions permissions = {});

    // Why a file of this name cannot be written safely (its temporary name would pass the file
    // system's limit), or an empty text.
    static QString nameProblem(const QString &path);

    // Whether fileName is a temporary file the writer leaves when the program is killed in the
    // middle of a save of `target` ("<target>.XXXXXX", six ASCII letters).
    static bool isTemporaryOf(const QString &fileName, const QString &target);
    // Removes the temporary files of the given files (full paths) left by an earlier run that was
    // killed in the middle of a save. Returns the paths removed.
    static QStringList removeLeftovers(const QStringList &targets);
    // Removes, in folder, every leftover temporary file of a file with one of the given suffixes
    // (such as ".ini"): for files the program writes under names the user chooses.
    static QStringList removeLeftoversIn(const QString &folder, const QStringList &suffixes);

private:
    bool fail(const QString &reason);

    QString m_path;
    std::unique_ptr<QSaveFile> m_file;
    bool m_failed = false;
    QString m_error;
    QString m_reason;
};
