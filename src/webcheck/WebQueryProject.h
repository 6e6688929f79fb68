#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// One candidate value of a page and, once the user has defined it, how the server is to read it.
// Fields 6 and 8 hold list texts in their stored form (see ListText), so the project file and the
// export take them as they are.
struct AnalysisEntry {
    enum Kind { Text = 8, Link = 10, Image = 11 };

    QString value;      // the found text
    int kind = Text;    // also the index of the row's icon
    QString start;      // 1-based position of the value's first character in the page source
    QString end;        // position of its last character
    QString valueType;  // "0" plain text, "1" text from a list
    QString list;       // the list text
    QString conversion; // "-1" conversion table applied, "0" not
    QString definition; // the object definition, "|", the list text
    QString koType;     // index of the object type, "0" to "17"
    QString koName;     // name of the object to be created; empty: not defined, not exported

    // What a project file's row reads as when its keys are missing.
    static AnalysisEntry whenKeysMissing();

    bool operator==(const AnalysisEntry &) const = default;
};
// Its texts may move in memory as they are: a list of 100,000 rows that grows moves its bytes
// instead of copying and destroying every text.
Q_DECLARE_TYPEINFO(AnalysisEntry, Q_RELOCATABLE_TYPE);

// Where the server fetches a page: the host text and the port text of a project or import file.
namespace PagePlace {
struct HostAndPort {
    QString host;
    QString port;
    bool operator==(const HostAndPort &) const = default;
};
// A host text that carries a port ("127.0.0.1:8080", "[::1]:8080") taken apart, its port taking
// the place of `port`; any other host text stays as it is, with `port`.
HostAndPort split(const QString &host, const QString &port);
// Whether the page's address names the port: it is neither empty nor the web's own port 80.
bool portInAddress(const QString &port);
// The page as the browser is given it, without scheme: host, ":" and the port when the address
// names it, then site. The server fetches the page from there.
QString address(const QString &host, const QString &port, const QString &site);
} // namespace PagePlace

// A web query in the making: the page's place and the values found on it.
struct WebQueryProject {
    QString bezeichnung;
    QString host; // host name or address, without scheme
    QString port; // the web server's port; part of the page's address unless empty or 80
    QString site; // path on the host, beginning with "/"
    QList<AnalysisEntry> entries;

    QString address() const { return PagePlace::address(host, port, site); }

    bool operator==(const WebQueryProject &) const = default;
};

// A list text of several lines is stored with every line ended by "|": a file value holds one
// line only, and the export takes the list as pieces each ended by "|".
namespace ListText {
QString toStored(const QString &lines);
// A stored text without the closing "|" (one line, as older files hold it) is one line as it is.
QString toLines(const QString &stored);
} // namespace ListText
