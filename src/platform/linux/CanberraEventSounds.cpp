#include "CanberraEventSounds.h"

#include <QDir>
#include <QFileInfo>

#ifdef QUENDRA_HAVE_CANBERRA
#include <canberra.h>
#else
#include <QApplication>
#endif

// Owns the sound context; every call runs on the sound thread.
class CanberraEventSounds::Player : public QObject {
public:
    ~Player() override {
#ifdef QUENDRA_HAVE_CANBERRA
        if (m_context)
            ca_context_destroy(m_context);
#endif
    }

    void play(const QString &name) {
#ifdef QUENDRA_HAVE_CANBERRA
        // Opened at the first sound, and again at the next one after a failure: a program started
        // with the session may come up before the sound server does.
        if (!m_context)
            open();
        if (!m_context)
            return;
        // A sound that is still playing is cut off by the next one.
        ca_context_cancel(m_context, kPlayId);
        const int result = playEvent(name.toUtf8());
        if (result == CA_ERROR_NOTFOUND || result == CA_ERROR_INVALID)
            playEvent(kDefaultEvent.toUtf8());
#else
        // Without libcanberra every name plays the desktop's plain beep, from the GUI thread.
        Q_UNUSED(name);
        if (QCoreApplication *app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [] { QApplication::beep(); });
#endif
    }

private:
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

    int playEvent(const QByteArray &id) {
        if (id.isEmpty())
            return CA_ERROR_INVALID;
        return ca_context_play(m_context, kPlayId, CA_PROP_EVENT_ID, id.constData(), nullptr);
    }

    ca_context *m_context = nullptr;
#endif
};

CanberraEventSounds::CanberraEventSounds(QStringList soundRoots)
    : m_soundRoots(std::move(soundRoots)), m_player(new Player) {
    m_thread.setObjectName(QStringLiteral("EventSounds"));
    m_player->moveToThread(&m_thread);
    m_thread.start();
}

CanberraEventSounds::~CanberraEventSounds() {
    m_thread.quit();
    m_thread.wait();
    delete m_player;
}

void CanberraEventSounds::play(const QString &name) {
    QMetaObject::invokeMethod(m_player, [player = m_player, name] { player->play(name); });
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
