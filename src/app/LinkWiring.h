#pragma once

#include "LinkAccess.h"
#include "LinkController.h"
#include "ReportingServices.h"

#include <memory>
#include <vector>

class AppCore;
class LinkStateDisplay;
class MainWindow;

// The gateway link in the frame: the link controller on the main window (its settings, its connect
// button, its bus monitor column), the link's state shown at the tray icon and in the status bar,
// and the link as the subsystems use it.
class LinkWiring : public LinkAccess {
    Q_OBJECT
public:
    LinkWiring(AppCore &core, LinkTimings timings, QObject *parent = nullptr);
    ~LinkWiring() override;

    const LinkTimings &timings() const { return m_timings; }
    // Present once attached.
    LinkController *controller() const { return m_controller.get(); }

    void attach(MainWindow &window);
    // The subsystems are about to go: the dispatch must not call into their targets any more.
    void forgetTargets();

    void addValueTarget(ValueTarget *target) override;
    void setPopupRebuild(std::function<void()> rebuild) override;
    CommandChannel &commands() override { return *m_controller; }
    QString lastValue(const QString &gan) override;
    bool isOnline() const override;
    void note(const QString &text) override;

private:
    AppCore &m_core;
    LinkTimings m_timings;
    ReportingServices m_services;
    std::unique_ptr<LinkController> m_controller;
    std::unique_ptr<LinkStateDisplay> m_state;
    std::vector<ValueTarget *> m_targets;
};
