#include "CanberraEventSounds.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <QApplication>

#ifdef QUENDRA_HAVE_CANBERRA
#include <QLibrary>
#include <canberra.h>

namespace {
// libcanberra, opened at the first sound rather than linked: its sound file decoders and sound
// servers' libraries would otherwise be loaded with the program, though most sessions play nothing.
struct Canberra {
    decltype(&ca_context_create) create = nullptr;
    decltype(&ca_context_destroy) destroy = nullptr;
    decltype(&ca_context_change_props) changeProps = nullptr;
    decltype(&ca_context_open) open = nullptr;
    decltype(&ca_context_play) play = nullptr;
    decltype(&ca_context_cancel) cancel = nullptr;

    // Null when the library or one of its functions is missing.
    static const Canberra *load() {
        static const Canberra loaded = [] {
            Canberra api;
            // Never unloaded: the sound thread may hold its context until the program ends.
            QLibrary library(QStringLiteral("canberra"), 0);
            library.setLoadHints(QLibrary::PreventUnloadHint);
            if (!library.load())
                return api;
            const auto resolve = [&library](auto &function, const char *name) {
                function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(library.resolve(name));
                return function != nullptr;
            };
            if (!(resolve(api.create, "ca_context_create") && resolve(api.destroy, "ca_context_destroy") &&
                  resolve(api.changeProps, "ca_context_change_props") && resolve(api.open, "ca_context_open") &&
                  resolve(api.play, "ca_context_play") && resolve(api.cancel, "ca_context_cancel")))
                api.create = nullptr;
            return api;
        }();
        return loaded.create ? &loaded : nullptr;
    }
};
} // namespace
#endif

// Owns the sound context; every call runs on the sound thread.
class CanberraEventSounds::Worker : public QObject {
public:
    explicit Worker(Player player) : m_player(std::move(player)) {}
    ~Worker() override {
#ifdef QUENDRA_HAVE_CANBERRA
        if (m_context)
            m_api->destroy(m_context);
#endif
    }

    void play(const QString &name) {
        // A name the system does not know plays the default sound.
        if (!playId(name.toUtf8()))
            playId(kDefaultEvent.toUtf8());
    }

private:
    bool playId(const QByteArray &id) {
        return m_player ? m_player(id) : systemPlay(id);
    }

    // Without libcanberra every name plays the desktop's plain beep, from the GUI thread.
    static bool beep() {
        if (QCoreApplication *app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [] { QApplication::beep(); });
        return true;
    }

    bool systemPlay(const QByteArray &id) {
#ifdef QUENDRA_HAVE_CANBERRA
        if (!m_api)
            m_api = Canberra::load();
        if (!m_api)
            return beep();
        if (id.isEmpty())
            return false;
        // Opened at the first sound, and again at the next one after a failure: a program started
        // with the session may come up before the sound server does.
        if (!m_context)
            open();
        if (!m_context)
            return true; // no sound device: silence, and no other sound either
        // A sound that is still playing is cut off by the next one.
        m_api->cancel(m_context, kPlayId);
        const int result = m_api->play(m_context, kPlayId, CA_PROP_EVENT_ID, id.constData(), nullptr);
        return result != CA_ERROR_NOTFOUND && result != CA_ERROR_INVALID;
#else
        Q_UNUSED(id);
        return beep();
#endif
    }

    Player m_player;

#ifdef QUENDRA_HAVE_CANBERRA
    static constexpr uint32_t kPlayId = 1;

    void open() {
        if (m_api->create(&m_context) != CA_SUCCESS) {
            m_context = nullptr;
            return;
        }
        m_api->changeProps(m_context, CA_PROP_APPLICATION_NAME, "Quendra", nullptr);
        // No sound device (or no sound server) is no error: the program simply stays silent.
        if (m_api->open(m_context) != CA_SUCCESS) {
            m_api->destroy(m_context);
            m_context = nullptr;
        }
    }

    const Canberra *m_api = nullptr;
    ca_context *m_context = nullptr;
#endif
};

CanberraEventSounds::CanberraEventSounds(QStringList soundRoots, Player player)
    : m_soundRoots(std::move(soundRoots)), m_worker(new Worker(std::move(player))) {
    m_thread.setObjectName(QStringLiteral("EventSounds"));
    m_worker->moveToThread(&m_thread);
    m_thread.start();
}

CanberraEventSounds::~CanberraEventSounds() {
    m_thread.quit();
    m_thread.wait();
    delete m_worker;
}

void CanberraEventSounds::play(const QString &name) {
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, name] { worker->play(name); });
}

QStringList CanberraEventSounds::eventNames() const {
    QStringList names;
    for (const QString &root : m_soundRoots) {
        const QDir rootDir(root);
        const auto themes = rootDir.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        for (const QString &theme : themes) {
            const QDir stereo(rootDir.filePath(theme) + QStringLiteral("/stereo"));
            const auto files = stereo.entryInfoList(QDir::Files);
            for (const QFileInfo &file : files)
                names.append(file.completeBaseName());
        }
    }
    names.sort();
    names.removeDuplicates();
    return names;
}

QString CanberraEventSounds::displayName(const QString &eventName) const {
    // The ids of the freedesktop sound theme and the common ones of the naming scheme that other
    // themes bring; an id not listed is shown as it is.
    static const QHash<QString, QString> names{
        {QStringLiteral("alarm-clock-elapsed"), QStringLiteral("Wecker abgelaufen")},
        {QStringLiteral("audio-channel-front-center"), QStringLiteral("Audiokanal vorne Mitte")},
        {QStringLiteral("audio-channel-front-left"), QStringLiteral("Audiokanal vorne links")},
        {QStringLiteral("audio-channel-front-right"), QStringLiteral("Audiokanal vorne rechts")},
        {QStringLiteral("audio-channel-rear-center"), QStringLiteral("Audiokanal hinten Mitte")},
        {QStringLiteral("audio-channel-rear-left"), QStringLiteral("Audiokanal hinten links")},
        {QStringLiteral("audio-channel-rear-right"), QStringLiteral("Audiokanal hinten rechts")},
        {QStringLiteral("audio-channel-side-left"), QStringLiteral("Audiokanal seitlich links")},
        {QStringLiteral("audio-channel-side-right"), QStringLiteral("Audiokanal seitlich rechts")},
        {QStringLiteral("audio-test-signal"), QStringLiteral("Audio-Testsignal")},
        {QStringLiteral("audio-volume-change"), QStringLiteral("Lautstärke geändert")},
        {QStringLiteral("battery-caution"), QStringLiteral("Akku fast leer")},
        {QStringLiteral("battery-low"), QStringLiteral("Akku schwach")},
        {QStringLiteral("bell"), QStringLiteral("Glocke")},
        {QStringLiteral("button-pressed"), QStringLiteral("Knopf gedrückt")},
        {QStringLiteral("camera-shutter"), QStringLiteral("Kameraauslöser")},
        {QStringLiteral("complete"), QStringLiteral("Abgeschlossen")},
        {QStringLiteral("desktop-login"), QStringLiteral("Anmeldung")},
        {QStringLiteral("desktop-logout"), QStringLiteral("Abmeldung")},
        {QStringLiteral("device-added"), QStringLiteral("Gerät angeschlossen")},
        {QStringLiteral("device-removed"), QStringLiteral("Gerät entfernt")},
        {QStringLiteral("dialog-error"), QStringLiteral("Fehler")},
        {QStringLiteral("dialog-information"), QStringLiteral("Information")},
        {QStringLiteral("dialog-question"), QStringLiteral("Frage")},
        {QStringLiteral("dialog-warning"), QStringLiteral("Warnung")},
        {QStringLiteral("message"), QStringLiteral("Nachricht")},
        {QStringLiteral("message-new-email"), QStringLiteral("Neue E-Mail")},
        {QStringLiteral("message-new-instant"), QStringLiteral("Neue Sofortnachricht")},
        {QStringLiteral("message-sent-email"), QStringLiteral("E-Mail gesendet")},
        {QStringLiteral("network-connectivity-error"), QStringLiteral("Netzwerkfehler")},
        {QStringLiteral("network-connectivity-established"), QStringLiteral("Netzwerk verbunden")},
        {QStringLiteral("network-connectivity-lost"), QStringLiteral("Netzwerk getrennt")},
        {QStringLiteral("phone-incoming-call"), QStringLiteral("Eingehender Anruf")},
        {QStringLiteral("phone-outgoing-busy"), QStringLiteral("Anruf: besetzt")},
        {QStringLiteral("phone-outgoing-calling"), QStringLiteral("Anruf: Freizeichen")},
        {QStringLiteral("power-plug"), QStringLiteral("Netzteil angeschlossen")},
        {QStringLiteral("power-unplug"), QStringLiteral("Netzteil getrennt")},
        {QStringLiteral("screen-capture"), QStringLiteral("Bildschirmfoto")},
        {QStringLiteral("service-login"), QStringLiteral("Dienst angemeldet")},
        {QStringLiteral("service-logout"), QStringLiteral("Dienst abgemeldet")},
        {QStringLiteral("suspend-error"), QStringLiteral("Fehler beim Ruhezustand")},
        {QStringLiteral("system-ready"), QStringLiteral("System bereit")},
        {QStringLiteral("trash-empty"), QStringLiteral("Papierkorb geleert")},
        {QStringLiteral("window-attention"), QStringLiteral("Fenster verlangt Aufmerksamkeit")},
        {QStringLiteral("window-question"), QStringLiteral("Fenster fragt")},
    };
    return names.value(eventName, eventName);
}

std::unique_ptr<EventSounds> createEventSounds() {
    return std::make_unique<CanberraEventSounds>();
}
