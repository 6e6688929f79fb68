#include "DesktopScreenSaver.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QProcess>

namespace {
// Calls a method of the screen-saver service; when the bus or the service is not there, or the call
// fails, runs `xdg-screensaver` with the fallback command.
void callScreenSaver(const QString &method, const QVariantList &arguments, const QString &fallback) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const auto runFallback = [fallback] {
        QProcess::startDetached(QStringLiteral("xdg-screensaver"), {fallback});
    };
    if (!bus.isConnected()) {
        runFallback();
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.ScreenSaver"),
                                                       QStringLiteral("/org/freedesktop/ScreenSaver"),
                                                       QStringLiteral("org.freedesktop.ScreenSaver"), method);
    call.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call));
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [runFallback](QDBusPendingCallWatcher *w) {
        if (w->isError())
            runFallback();
        w->deleteLater();
    });
}
} // namespace

void DesktopScreenSaver::activate() {
    callScreenSaver(QStringLiteral("SetActive"), {true}, QStringLiteral("activate"));
}

void DesktopScreenSaver::deactivate() {
    callScreenSaver(QStringLiteral("SetActive"), {false}, QStringLiteral("reset"));
    callScreenSaver(QStringLiteral("SimulateUserActivity"), {}, QStringLiteral("reset"));
    QCursor::setPos(1, 1);
}
