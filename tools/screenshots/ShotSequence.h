#pragma once

#include <QDir>
#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <vector>

class QPixmap;
class QWidget;

// A list of steps run one after another from the event loop: each step waits until its condition
// holds, then acts. Between two steps the program handles its events, so every step sees what the
// one before has caused. A condition that does not come true in time ends the run with an error.
class ShotSequence : public QObject {
    Q_OBJECT
public:
    using Condition = std::function<bool()>;
    using Action = std::function<void()>;

    // outputFolder: where the pictures go; timeoutMs: how long a step may wait for its condition.
    explicit ShotSequence(const QString &outputFolder, int timeoutMs = 60000, QObject *parent = nullptr);

    // A step that waits for `ready` (described by `what` in the error) and then runs `act`.
    void step(const QString &what, Condition ready, Action act);
    // A step that runs at once.
    void step(const QString &what, Action act);
    void start();

    // Saves the picture as a PNG of the output folder; false (and a message) when it cannot.
    bool save(const QString &name, const QPixmap &picture);
    // The window as it draws itself, without the frame.
    bool grab(const QString &name, QWidget *window);
    // What the screen shows in the rectangle around all the widgets (a popup over its window).
    bool grabScreen(const QString &name, const QList<QWidget *> &widgets);

signals:
    // All steps have run (ok) or one has failed.
    void finished(bool ok);

private:
    void tick();
    void fail(const QString &why);

    struct Step {
        QString what;
        Condition ready;
        Action act;
    };
    QDir m_output;
    int m_timeoutMs;
    std::vector<Step> m_steps;
    std::size_t m_next = 0;
    QTimer m_timer;
    int m_waitedMs = 0;
    bool m_failed = false;
};
