#include "LoadReplaceAddress.h"

namespace {
QUrl parsed(QString text) {
    // A fragment is never sent: what follows a "#" would be lost without a word.
    text.replace(u'#', QStringLiteral("%23"));
    QUrl url(text, QUrl::TolerantMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return {};
    url.setScheme(scheme);
    return url;
}

int effectivePort(const QUrl &url) {
    return url.port(url.scheme() == u"https" ? 443 : 80);
}
} // namespace

bool LoadReplaceAddress::sameServer(const QUrl &url, const QUrl &origin) {
    return url.scheme().toLower() == origin.scheme() && url.host() == origin.host() &&
           effectivePort(url) == effectivePort(origin);
}

QString LoadReplaceAddress::serverText(const QUrl &origin) {
    return origin.toDisplayString();
}

LoadReplaceAddress LoadReplaceAddress::of(const QString &host, const QString &value) {
    LoadReplaceAddress result;
    const QUrl prefix = parsed(host);
    const QUrl url = parsed(host + value);
    if (prefix.isEmpty() || url.isEmpty()) {
        result.problem = Problem::NoAddress;
        return result;
    }
    result.origin.setScheme(prefix.scheme());
    result.origin.setHost(prefix.host());
    result.origin.setPort(prefix.port());
    // The user part counts too: a value must not log in as someone else on the same camera.
    if (!sameServer(url, result.origin) || url.userInfo() != prefix.userInfo()) {
        result.problem = Problem::OtherServer;
        return result;
    }
    // What the HTTP client puts into the request line, with and without its path clean-up.
    const QUrl::FormattingOptions requestLine =
        QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::RemoveFragment | QUrl::FullyEncoded;
    if (url.toEncoded(requestLine) != url.toEncoded(requestLine | QUrl::NormalizePathSegments)) {
        result.problem = Problem::DotSegment;
        return result;
    }
    result.url = url;
    return result;
}
