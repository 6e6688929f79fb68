#include "BrowserHost.h"

QUrl BrowserHost::addressUrl(const QString &address) {
    const QString trimmed = address.trimmed();
    return QUrl(trimmed.contains(QLatin1String("://")) ? trimmed : QStringLiteral("http://") + trimmed);
}
