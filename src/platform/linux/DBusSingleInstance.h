#pragma once

#include "SingleInstance.h"

#include <QDBusConnection>

// The session's program is the one that owns the well-known name "de.quendra.Quendra" on the
// session bus. The bus gives the name to one connection only and takes it back when that process
// ends, however it ends, so there is no lock file to go stale. A later start finds the name taken
// and calls Show() on the owner's object, with a time-out: a program that does not answer hangs.
class DBusSingleInstance : public SingleInstance {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "de.quendra.Quendra")
    // Whether the main window is shown; lets a script (and the tests) see what Show() did.
    Q_PROPERTY(bool WindowShown READ isWindowShown SCRIPTABLE true)
public:
    static inline const QString kService = QStringLiteral("de.quendra.Quendra");
    static inline const QString kPath = QStringLiteral("/de/quendra/Quendra");
    static inline const QString kInterface = QStringLiteral("de.quendra.Quendra");
    // A program whose event loop runs answers within milliseconds; one that has not answered
    // after this long is hung as far as the user can tell.
    static constexpr int kReplyTimeoutMs = 5000;

    explicit DBusSingleInstance(QDBusConnection bus = QDBusConnection::sessionBus(),
                                int replyTimeoutMs = kReplyTimeoutMs, QObject *parent = nullptr);
    ~DBusSingleInstance() override;

    Claim claim() override;
    QString reason() const override { return m_reason; }

    bool isWindowShown() const { return windowShown(); }

public slots:
    Q_SCRIPTABLE void Show();

private:
    QDBusConnection m_bus;
    int m_replyTimeoutMs;
    QString m_reason;
    bool m_registered = false;
};
