#pragma once

#include "Frame.h"
#include "ReportingServices.h"

class AppCore;
class MainWindow;

// The frame one subsystem plugs into: the main window's places, the core's settings and folders,
// the link, and platform services whose boxes and balloons are reported under the subsystem's name.
class WindowFrame : public Frame {
public:
    WindowFrame(AppCore &core, MainWindow &window, const QString &source);

    const ProgramPaths &paths() const override;
    QString dataFolder() const override;
    QString catalogueCopyFile() const override;
    ProgramSettings &settings() override;
    bool saveSettings() override;
    const PlatformServices &services() const override { return m_services.services(); }
    FrameEvents &events() override;
    LinkAccess &link() override;
    ObjectHooks &objects() override;

    QWidget *window() override;
    void setStatusText(const QString &text) override;
    void addStartupNotice(const QString &text) override;

    void placeOnTab(WorkPage page, QWidget *panel, std::function<void(int height)> parameterPanelHeight) override;
    void onPageContextMenu(WorkPage page, PageContextMenu handler) override;
    QAction *addMenuBarEntry(const QString &name, const QString &caption, const QString &hint,
                             std::function<void()> triggered) override;
    void addDropTarget(QWidget *widget, const QString &caption, Drop drop, DropRefusal refusal) override;

    void setTrayPopup(QMenu *popup) override;
    void addTrayPopupRow(QAction *row) override;
    void setTrayCount(int count) override;
    void setTrayPopupTitle(const QString &text) override;

private:
    AppCore &m_core;
    MainWindow &m_window;
    ReportingServices m_services;
};
