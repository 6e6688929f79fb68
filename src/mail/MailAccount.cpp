#include "MailAccount.h"

std::optional<bool> readMailFlag(const QString &text) {
    const QString t = text.trimmed();
    if (t.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (t.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0)
        return false;
    bool ok = false;
    const qlonglong number = t.toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    return number != 0;
}
