#include "HistoryWiring.h"

#include "ChartPanel.h"
#include "CheckedFileWriter.h"
#include "Dialogs.h"
#include "Frame.h"
#include "History.h"
#include "HistoryTexts.h"
#include "HistoryValueRecorder.h"
#include "HistoryWindow.h"
#include "LinkAccess.h"
#include "MuteList.h"
#include "ObjectHooks.h"
#include "PlatformServices.h"

#include <QAction>
#include <QDateTime>
#include <QDir>

HistoryWiring::HistoryWiring(ErrorKinds errorKinds, QObject *parent)
    : QObject(parent), m_errorKinds(std::move(errorKinds)) {
}

HistoryWiring::~HistoryWiring() {
    // The window works on the history held here.
    delete m_window;
}

void HistoryWiring::attach(Frame &frame) {
    m_frame = &frame;
    // The data folder may not be there yet; the database opens on the writer's thread.
    QDir().mkpath(frame.dataFolder());
    m_history = std::make_unique<History>(frame.dataFolder());
    m_recorder = std::make_unique<HistoryValueRecorder>(*m_history);
    frame.link().addValueTarget(m_recorder.get());
    connect(&frame.events(), &FrameEvents::happened, this, &HistoryWiring::record);
    // Queued: a box is not opened inside the history's own signal.
    connect(m_history.get(), &History::problem, this, &HistoryWiring::showProblem, Qt::QueuedConnection);
    connect(m_history.get(), &History::unreadCountChanged, this, &HistoryWiring::showUnread);

    frame.objects().addNotificationGate([this](const QString &gan) {
        return !m_history->mutes().isMuted(gan, QDateTime::fromMSecsSinceEpoch(m_history->now()));
    });
    offerMutes();

    frame.addMenuBarEntry(QStringLiteral("Verlauf"), HistoryTexts::kWindowTitle, HistoryTexts::kMenuBarHint,
                          [this] { open(); });
    m_trayRow = new QAction(HistoryTexts::kWindowTitle, this);
    m_trayRow->setObjectName(QStringLiteral("trayHistory"));
    connect(m_trayRow, &QAction::triggered, this, &HistoryWiring::open);
    frame.addTrayPopupRow(m_trayRow);
}

void HistoryWiring::offerMutes() {
    const auto now = [this] {
        return QDateTime::fromMSecsSinceEpoch(m_history->now());
    };
    const auto muted = [this, now](const QString &gan) {
        return m_history->mutes().isMuted(gan, now());
    };
    ObjectHooks &objects = m_frame->objects();
    objects.addAction({QStringLiteral("muteHour"), HistoryTexts::kMuteHour, {}, [this, now](const QString &gan) {
                           m_history->mutes().muteForOneHour(gan, now());
                       }});
    objects.addAction({QStringLiteral("muteMorning"), HistoryTexts::kMuteMorning, {}, [this, now](const QString &gan) {
                           m_history->mutes().muteUntilMorning(gan, now());
                       }});
    objects.addAction({QStringLiteral("unmute"), HistoryTexts::kUnmute, muted, [this, now](const QString &gan) {
                           m_history->mutes().unmute(gan, now());
                       }});
}

void HistoryWiring::load(const QString &) {
    // The history's files live in the data folder, whatever the configuration folder is.
    CheckedFileWriter::removeLeftovers(m_history->writtenFiles());
}

void HistoryWiring::close() {
    if (m_window)
        m_window->hide();
    m_history->close();
}

void HistoryWiring::open() {
    if (!m_window) {
        m_window = new HistoryWindow(*m_history, *m_frame->services().dialogs, m_frame->window());
        HistoryWindow *window = m_window;
        m_frame->addDropTarget(window, ChartPanel::kDropTargetCaption,
                               [window](const DraggedObject &object) { return window->dropObjectOnChart(object); });
    }
    m_window->show();
    m_window->raise();
    m_window->activateWindow();
}

void HistoryWiring::record(const FrameEvent &event) {
    using Kind = FrameEvent::Kind;
    QString text = event.title.isEmpty() ? event.text : event.title + u' ' + event.text;
    EventKind kind = EventKind::Message;
    switch (event.kind) {
    case Kind::Balloon:
        kind = EventKind::Balloon;
        break;
    case Kind::Information:
    case Kind::Message:
        kind = EventKind::Message;
        break;
    case Kind::Error:
        if (!m_ownProblem.isEmpty() && event.text == m_ownProblem) {
            m_ownProblem.clear();
            return;
        }
        kind = m_errorKinds.value(event.source, EventKind::SaveFailed);
        break;
    case Kind::LinkLost:
        kind = EventKind::LinkLost;
        break;
    case Kind::LinkRestored:
        kind = EventKind::LinkRestored;
        break;
    case Kind::KeyRefused:
        kind = EventKind::KeyRefused;
        break;
    }
    if (text.isEmpty())
        text = event.source;
    m_history->recordEvent(kind, QString(), text);
}

void HistoryWiring::showProblem(const QString &message) {
    m_ownProblem = message;
    m_frame->services().dialogs->error(message);
}

void HistoryWiring::showUnread(int count) {
    m_frame->setTrayCount(count);
    m_frame->setTrayPopupTitle(count > 0 ? HistoryTexts::kUnreadTitle.arg(count) : QString());
}
