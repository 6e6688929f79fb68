#include "CheckedFileWriter.h"

#include "FileMessages.h"
#include "FileSync.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {
const QString kNotOpen = QStringLiteral("Die Datei ist nicht zum Schreiben geöffnet.");

// Qt fills the six places of its temporary names with ASCII letters only (checked against the
// library in use); taking digits too would take more of the user's own files for ours.
bool isTemporaryCharacter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}
} // namespace

CheckedFileWriter::CheckedFileWriter(QString path) : m_path(std::move(path)) {
}

CheckedFileWriter::~CheckedFileWriter() {
    discard();
}

QString CheckedFileWriter::nameProblem(const QString &path) {
    const qsizetype bytes = QFile::encodeName(QFileInfo(path).fileName()).size();
    if (bytes + kTemporarySuffixLength <= kMaxNameBytes)
        return {};
    return QStringLiteral("Der Name ist mit %1 Bytes zu lang (höchstens %2 Bytes).")
        .arg(QString::number(bytes), QString::number(kMaxNameBytes - kTemporarySuffixLength));
}

bool CheckedFileWriter::fail(const QString &reason) {
    m_failed = true;
    m_reason = reason;
    m_error = FileMessages::cannotWrite(m_path, reason);
    if (m_file)
        m_file->cancelWriting();
    m_file.reset(); // the temporary file goes with it
    return false;
}

bool CheckedFileWriter::open(QFileDevice::Permissions permissions) {
    discard();
    m_failed = false;
    m_error.clear();
    m_reason.clear();
    if (const QString problem = nameProblem(m_path); !problem.isEmpty())
        return fail(problem);
    m_file = std::make_unique<QSaveFile>(m_path);
    // Unbuffered: a write that the disk does not take fails in that write, not later.
    if (!m_file->open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return fail(m_file->errorString());
    if (permissions && !m_file->setPermissions(permissions))
        return fail(m_file->errorString());
    return true;
}

bool CheckedFileWriter::isOpen() const {
    return m_file && !m_failed;
}

bool CheckedFileWriter::write(const QByteArray &bytes) {
    return write(bytes.constData(), bytes.size());
}

bool CheckedFileWriter::write(const char *data, qint64 size) {
    if (!isOpen())
        return m_failed ? false : fail(kNotOpen);
    qint64 done = 0;
    while (done < size) {
        const qint64 n = m_file->write(data + done, size - done);
        if (n <= 0)
            return fail(m_file->errorString());
        done += n;
    }
    return true;
}

bool CheckedFileWriter::commit() {
    if (!isOpen())
        return m_failed ? false : fail(kNotOpen);
    if (!m_file->flush() || m_file->error() != QFileDevice::NoError)
        return fail(m_file->errorString());
    QString reason;
    if (!FileSync::syncHandle(m_file->handle(), &reason))
        return fail(reason);
    if (!m_file->commit())
        return fail(m_file->errorString());
    m_file.reset();
    FileSync::syncFolder(QFileInfo(m_path).absolutePath());
    return true;
}

void CheckedFileWriter::discard() {
    if (m_file)
        m_file->cancelWriting();
    m_file.reset();
}

bool CheckedFileWriter::writeFile(const QString &path, const QByteArray &bytes, QString *error,
                                  QFileDevice::Permissions permissions) {
    CheckedFileWriter writer(path);
    const bool ok = writer.open(permissions) && writer.write(bytes) && writer.commit();
    if (!ok && error)
        *error = writer.errorString();
    return ok;
}

bool CheckedFileWriter::isTemporaryOf(const QString &fileName, const QString &target) {
    if (fileName.size() != target.size() + kTemporarySuffixLength || !fileName.startsWith(target) ||
        fileName.at(target.size()) != u'.')
        return false;
    for (qsizetype i = target.size() + 1; i < fileName.size(); ++i)
        if (!isTemporaryCharacter(fileName.at(i)))
            return false;
    return true;
}

QStringList CheckedFileWriter::removeLeftovers(const QStringList &targets) {
    QStringList removed;
    for (const QString &target : targets) {
        const QFileInfo info(target);
        const QString name = info.fileName();
        if (name.isEmpty())
            continue;
        const QDir folder = info.absoluteDir();
        const QStringList candidates =
            folder.entryList({name + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden | QDir::System);
        for (const QString &candidate : candidates)
            if (isTemporaryOf(candidate, name) && QFile::remove(folder.filePath(candidate)))
                removed << folder.filePath(candidate);
    }
    return removed;
}

QStringList CheckedFileWriter::removeLeftoversIn(const QString &folder, const QStringList &suffixes) {
    QStringList removed;
    const QDir dir(folder);
    QStringList patterns;
    for (const QString &suffix : suffixes)
        patterns << u'*' + suffix + QStringLiteral(".??????");
    const QStringList candidates = dir.entryList(patterns, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &candidate : candidates) {
        const QString target = candidate.left(candidate.size() - kTemporarySuffixLength);
        if (isTemporaryOf(candidate, target) && QFile::remove(dir.filePath(candidate)))
            removed << dir.filePath(candidate);
    }
    return removed;
}
