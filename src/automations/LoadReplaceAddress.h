#pragma once

#include <QString>
#include <QUrl>

// Where one download of a Load & Replace rule may go.
//
// The address is the rule's host text followed by the value, as the rule says. The value comes
// from the bus, so it must not choose the server: the request goes out only when its scheme, user
// part, host and port are those of the host text alone ("http://cam" + "@evil.test/x.jpg" would
// otherwise ask evil.test). Two more things would make the request differ from the address as
// built, silently: a "#" starts a fragment, which is never sent, so it goes percent-encoded as
// part of the text; and "." or ".." path segments are resolved by the HTTP client before sending
// ("/cam/v=" + "../../etc/passwd" would ask "/cam/etc/passwd"), so such an address is refused.
struct LoadReplaceAddress {
    enum class Problem {
        None,
        NoAddress,   // the host text, or host + value, is no http or https address with a host
        OtherServer, // host + value names another scheme, user, host or port than the host text
        DotSegment,  // the path holds a "." or ".." segment
    };

    Problem problem = Problem::None;
    QUrl url;    // what is requested, when problem is None
    QUrl origin; // scheme, host and port of the host text alone (empty for NoAddress)

    static LoadReplaceAddress of(const QString &host, const QString &value);
    // Whether url goes to origin's scheme, host and port (an absent port is the scheme's own).
    static bool sameServer(const QUrl &url, const QUrl &origin);
    // "scheme://host" with the port when the host text gave one, for messages.
    static QString serverText(const QUrl &origin);
};
