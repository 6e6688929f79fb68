#include "CanberraEventSounds.h"

#include <QDir>
#include <QFileInfo>

#ifdef QUENDRA_HAVE_CANBERRA
#include <canberra.h>
#else
#include <QApplication>
#endif

// Owns the sound context; every call runs on the sound thread.
class CanberraEventSounds::Worker : public QObject {
public:
    explicit Worker(Player player) : m_player(std::move(player)) {}
    ~Worker() override {
#ifdef QUENDRA_HAVE_CANBERRA
        if (m_context)
            ca_context_destroy(m_context);
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

    bool systemPlay(const QByteArray &id) {
#ifdef QUENDRA_HAVE_CANBERRA
        if (id.isEmpty())
            return false;
        // Opened at the first sound, and again at the next one after a failure: a program started
        // with the session may come up before the sound server does.
        if (!m_context)
            open();
        if (!m_context)
            return true; // no sound device: silence, and no other sound either
        // A sound that is still playing is cut off by the next one.
        ca_context_cancel(m_context, kPlayId);
        const int result = ca_context_play(m_context, kPlayId, CA_PROP_EVENT_ID, id.constData(), nullptr);
        return result != CA_ERROR_NOTFOUND && result != CA_ERROR_INVALID;
#else
        // Without libcanberra every name plays the desktop's plain beep, from the GUI thread.
        Q_UNUSED(id);
        if (QCoreApplication *app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [] { QApplication::beep(); });
        return true;
#endif
    }

    Player m_player;

#ifdef QUENDRA_HAVE_CANBERRA
    static constexpr uint32_t kPlayId = 1;

    void open() {
        if (ca_context_create(&m_context) != CA_SUCCESS) {
            m_context = nullptr;
            return;
        }
        ca_context_change_props(m_context, CA_PROP_APPLICATION_NAME, "Quendra", nullptr);
        // No sound device (or no sound server) is no error: the program simply stays silent.
        if (ca_context_open(m_context) != CA_SUCCESS) {
            ca_context_destroy(m_context);
            m_context = nullptr;
        }
    }

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

std::unique_ptr<EventSounds> createEventSounds() {
    return std::make_unique<CanberraEventSounds>();
}
