// Every line from the bus goes through the bus monitor and the dispatch; a busy installation
// sends several lines a second all day, and the monitor holds its newest ten thousand.
#include "BusMonitor.h"
#include "Dialogs.h"
#include "EventSounds.h"
#include "MenuValueTarget.h"
#include "Notifications.h"
#include "TrayIcon.h"
#include "ValueDispatch.h"

#include <QCoreApplication>
#include <benchmark/benchmark.h>

namespace {
class SilentTray : public TrayIcon {
public:
    bool isAvailable() const override { return false; }
    void show() override {}
    void hide() override {}
    void setIcon(const QIcon &) override {}
    void setHint(const QString &text) override { m_hint = text; }
    QString hint() const override { return m_hint; }
    void setPopup(QMenu *) override {}
    void showBalloon(const QString &, const QString &, int) override {}

private:
    QString m_hint;
};
class SilentDialogs : public Dialogs {
public:
    void error(const QString &) override {}
    void information(const QString &) override {}
    void message(const QString &) override {}
    bool confirm(const QString &) override { return false; }
};
class SilentSounds : public EventSounds {
public:
    void play(const QString &) override {}
    QStringList eventNames() const override { return {}; }
};

QString busLine(int i) {
    return QStringLiteral("2|%1|%2.5").arg(1000 + i % 500).arg(i % 40);
}

void BM_BusMonitorInsertWhenFull(benchmark::State &state) {
    BusMonitor monitor;
    for (int i = 0; i < BusMonitor::kCapacity; ++i)
        monitor.insertTop(busLine(i));
    int i = 0;
    for (auto _ : state)
        monitor.insertTop(busLine(i++));
}
BENCHMARK(BM_BusMonitorInsertWhenFull);

void BM_Getlv(benchmark::State &state) {
    BusMonitor monitor;
    for (int i = 0; i < BusMonitor::kCapacity; ++i)
        monitor.insertTop(busLine(i));
    const QString gan = QStringLiteral("1250");
    for (auto _ : state)
        benchmark::DoNotOptimize(monitor.getlv(gan));
}
BENCHMARK(BM_Getlv);

// One changed value through the dispatch into a menu of 32 entries, 4 bound to the number.
void BM_DispatchIntoMenu(benchmark::State &state) {
    MenuList menu;
    for (int k = 0; k < 32; ++k) {
        MenuCommand c;
        c.bezeichnung = QStringLiteral("Licht $3");
        c.aktion = QStringLiteral("Um");
        c.gan = QString::number(k % 8 == 0 ? 768 : 1000 + k);
        c.balloon = QStringLiteral("True");
        menu.append(c);
    }
    SilentTray tray;
    SilentDialogs dialogs;
    SilentSounds sounds;
    const WildcardTexts texts;
    Notifications notifications(menu, texts, tray, dialogs, sounds);
    MenuValueTarget target(menu, notifications, [] { return true; });
    ValueDispatch dispatch;
    dispatch.addTarget(&target);
    const QString on = QStringLiteral("2|768|1.0");
    const QString off = QStringLiteral("2|768|0.0");
    bool flip = false;
    for (auto _ : state) {
        dispatch.update_lv_menu(flip ? on : off, false);
        flip = !flip;
    }
}
BENCHMARK(BM_DispatchIntoMenu);
} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
