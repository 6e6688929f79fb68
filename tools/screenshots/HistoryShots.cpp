#include "HistoryShots.h"

#include "ChartPanel.h"
#include "History.h"
#include "HistoryWindow.h"
#include "ProgramWiring.h"
#include "ShotSequence.h"

#include <QAction>
#include <QTreeView>
#include <QWindow>
#include <cmath>

namespace {
// The demo's temperature object (GAN of 0/5/0).
const QString kTemperature = QStringLiteral("1280");
constexpr qint64 kMinuteMs = 60 * 1000;

bool shown(const QWidget *w) {
    return w && w->isVisible() && w->windowHandle() && w->windowHandle()->isExposed();
}

// A day of the temperature as a history holds it after a day's run: the demo server has run for a
// minute only. Every ten minutes, cool at night and warm in the afternoon.
QList<ValueRecord> dayOfTemperatures(qint64 nowMs) {
    QList<ValueRecord> values;
    for (qint64 t = nowMs - 24 * 60 * kMinuteMs; t < nowMs - kMinuteMs; t += 10 * kMinuteMs) {
        const double hours = double(t % (24 * 60 * kMinuteMs)) / double(60 * kMinuteMs);
        const double celsius = 20.5 + 2.0 * std::sin((hours - 9.0) / 24.0 * 2.0 * M_PI);
        values.append({t, kTemperature, QString::number(celsius, 'f', 1)});
    }
    return values;
}
} // namespace

void historyShots(ShotSequence &shots, ProgramWiring &wiring, std::function<QWidget *()> mainWindow) {
    HistoryWiring &history = *wiring.history();
    shots.step(QStringLiteral("Verlauf"), [&history, mainWindow] {
        History &store = *history.history();
        store.recordValues(dayOfTemperatures(store.now()));
        // What the demo menu's balloons say, as if they had been raised during the day.
        store.recordEvent(EventKind::Balloon, QStringLiteral("1025"), QStringLiteral("Orvanel: Fenster Bad offen"));
        store.recordEvent(EventKind::Balloon, QStringLiteral("70001"), QStringLiteral("Orvanel: Meldung: Post ist da"));
        if (auto *entry = mainWindow()->findChild<QAction *>(QStringLiteral("Verlauf")))
            entry->trigger();
    });
    const auto events = [&history] {
        return history.window() ? history.window()->findChild<QTreeView *>(QStringLiteral("eventList")) : nullptr;
    };
    shots.step(
        QStringLiteral("Verlauf shown"),
        [&history, events] { return shown(history.window()) && events() && events()->model()->rowCount() >= 3; },
        [&shots, &history] {
            shots.grab(QStringLiteral("verlauf.png"), history.window());
            history.window()->showChart(kTemperature);
        });
    shots.step(
        QStringLiteral("Kurve shown"),
        [&history] {
            const ChartData &data = history.window()->findChild<ChartPanel *>()->shown();
            return data.points.size() > 100;
        },
        [&shots, &history] {
            shots.grab(QStringLiteral("verlauf-kurve.png"), history.window());
            history.window()->close();
        });
}
