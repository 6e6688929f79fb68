#include "FileMessages.h"

namespace {
QString message(const QString &path, const QString &verb, const QString &reason) {
    const QString text = QStringLiteral("Die Datei \"%1\" kann nicht %2 werden").arg(path, verb);
    return reason.isEmpty() ? text + u'.' : text + QStringLiteral(": ") + reason;
}
} // namespace

namespace FileMessages {
QString cannotRead(const QString &path, const QString &reason) {
    return message(path, QStringLiteral("gelesen"), reason);
}
QString cannotWrite(const QString &path, const QString &reason) {
    return message(path, QStringLiteral("geschrieben"), reason);
}
QString cannotDelete(const QString &path, const QString &reason) {
    return message(path, QStringLiteral("gelöscht"), reason);
}
} // namespace FileMessages
