#pragma once

#include <QDateTime>
#include <QObject>
#include <QString>

// Something the user was shown or should know of: a balloon, a box, the link lost or back. Who
// showed it is its source (the subsystem's name as the program lists it, or the frame's part).
struct FrameEvent {
    enum class Kind {
        Balloon,      // a balloon at the tray icon (title and text)
        Information,  // an important message in a box the user closes
        Message,      // a plain box
        Error,        // an error box: a failed save, download, mail poll or catalogue fetch
        LinkLost,     // the link to the server went down
        LinkRestored, // it came up again after it had gone down
        KeyRefused    // the server closed the link right after the key line
    };
    Kind kind;
    QString source;
    QString title;
    QString text;
    QDateTime time;
};

// Every event the frame sees, as it happens: what a subsystem shows through the frame's platform
// services and what the frame itself says of the link.
class FrameEvents : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Stamps the event with the current time and reports it.
    void report(FrameEvent::Kind kind, const QString &source, const QString &text, const QString &title = {});

signals:
    void happened(const FrameEvent &event);
};
