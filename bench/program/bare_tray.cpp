// The bare tray program the whole-program benchmark measures Quendra against: what Quendra does at
// rest and no more. A tray icon with a menu, one TCP connection to the gateway made as soon as the
// event loop runs, the key line sent, every received line cut off at its NUL. It answers
// "ok|VALUE" when a line for number 4242 ends a read, so that the benchmark knows when a burst is
// through. With --probe it also answers the benchmark's responsiveness probe on the session bus.
#include <QApplication>
#include <QDBusConnection>
#include <QMenu>
#include <QPainter>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTcpSocket>
#include <QTimer>

namespace {
const QByteArray kMarker = "2|4242|";

class ProbeTarget : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "de.quendra.Quendra")
    Q_PROPERTY(bool WindowShown READ windowShown SCRIPTABLE true)
public:
    bool windowShown() const { return false; }
};
} // namespace

int main(int argc, char *argv[]) {
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    const QStringList arguments = QApplication::arguments();
    if (arguments.size() < 3)
        return 2;
    const QString host = arguments.at(1);
    const quint16 port = quint16(arguments.at(2).toUInt());

    QPixmap picture(16, 16);
    picture.fill(Qt::darkGreen);
    QSystemTrayIcon tray{QIcon(picture)};
    QMenu menu;
    menu.addAction(QStringLiteral("Beenden"), &app, &QCoreApplication::quit);
    tray.setContextMenu(&menu);
    tray.show();

    ProbeTarget probe;
    if (arguments.contains(u"--probe"_qs)) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.registerObject(u"/de/quendra/Quendra"_qs, &probe, QDBusConnection::ExportScriptableProperties);
        bus.registerService(u"de.quendra.BareTray"_qs);
    }

    QTcpSocket socket;
    QByteArray pending;
    qint64 lines = 0;
    QObject::connect(&socket, &QTcpSocket::connected, &socket, [&socket] { socket.write(QByteArray("demo", 5)); });
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [&] {
        pending += socket.readAll();
        QByteArray last;
        qsizetype from = 0;
        for (qsizetype nul; (nul = pending.indexOf('\0', from)) >= 0; from = nul + 1) {
            last = pending.mid(from, nul - from);
            ++lines;
        }
        pending.remove(0, from);
        if (last.startsWith(kMarker))
            socket.write("ok|" + last.mid(kMarker.size()) + '\0');
    });
    QTimer::singleShot(0, &socket, [&] { socket.connectToHost(host, port); });
    return app.exec();
}

#include "bare_tray.moc"
