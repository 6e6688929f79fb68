#pragma once

#include "FrameEvents.h"
#include "HistoryRecords.h"
#include "HistoryWindow.h"
#include "Subsystem.h"

#include <QHash>
#include <QObject>
#include <QPointer>
#include <memory>

class Frame;
class History;
class HistoryValueRecorder;
class QAction;

// The history "Verlauf" in the program: records every value received and every event the frame
// reports, holds back the notifications of muted objects, offers the mutes on the tray popup's
// entries, shows the unread count at the tray, and opens the window from the menu bar and the
// tray popup. It only observes, so it goes at the end of the program's list.
class HistoryWiring : public QObject, public Subsystem {
    Q_OBJECT
public:
    // The kind an error box is recorded as, by the source that showed it; any other source's
    // error box is a failed save.
    using ErrorKinds = QHash<QString, EventKind>;

    explicit HistoryWiring(ErrorKinds errorKinds, QObject *parent = nullptr);
    ~HistoryWiring() override;

    // Present once attached.
    History *history() const { return m_history.get(); }
    // Present once opened.
    HistoryWindow *window() const { return m_window; }
    // Opens the window "Verlauf" (created the first time).
    void open();

    void attach(Frame &frame) override;
    void load(const QString &folder) override;
    void close() override;

private:
    void record(const FrameEvent &event);
    void showProblem(const QString &message);
    void showUnread(int count);
    void offerMutes();

    ErrorKinds m_errorKinds;
    Frame *m_frame = nullptr;
    std::unique_ptr<History> m_history;
    std::unique_ptr<HistoryValueRecorder> m_recorder;
    QAction *m_trayRow = nullptr;
    QPointer<HistoryWindow> m_window;
    // The history's own message in a box is no event to record: it says so itself.
    QString m_ownProblem;
};
