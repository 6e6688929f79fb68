#include "WindowFrame.h"

#include "AppCore.h"
#include "DropTargets.h"
#include "FrameParts.h"
#include "MainWindow.h"
#include "TrayIconLook.h"
#include "TrayPopupRows.h"

WindowFrame::WindowFrame(AppCore &core, MainWindow &window, const QString &source)
    : m_core(core), m_window(window), m_services(core.platform(), core.events(), source) {
}

const ProgramPaths &WindowFrame::paths() const {
    return m_core.paths();
}

QString WindowFrame::dataFolder() const {
    return m_core.dataFolder();
}

QString WindowFrame::catalogueCopyFile() const {
    return m_core.catalogueCopyFile();
}

ProgramSettings &WindowFrame::settings() {
    return m_core.settings();
}

bool WindowFrame::saveSettings() {
    return m_window.saveSettings();
}

FrameEvents &WindowFrame::events() {
    return m_core.events();
}

LinkAccess &WindowFrame::link() {
    // Subsystems are only put into a program that has its link.
    Q_ASSERT(m_core.parts);
    return m_core.parts->linkAccess();
}

ObjectHooks &WindowFrame::objects() {
    return m_core.objects();
}

QWidget *WindowFrame::window() {
    return &m_window;
}

void WindowFrame::setStatusText(const QString &text) {
    m_window.setStatusText(text);
}

void WindowFrame::addStartupNotice(const QString &text) {
    m_core.subsystems().addStartupNotice(text);
}

void WindowFrame::placeOnTab(WorkPage page, QWidget *panel, std::function<void(int height)> parameterPanelHeight) {
    m_window.workTabs()->place(page, panel, std::move(parameterPanelHeight));
}

void WindowFrame::onPageContextMenu(WorkPage page, PageContextMenu handler) {
    m_window.workTabs()->onContextMenu(page, std::move(handler));
}

QAction *WindowFrame::addMenuBarEntry(const QString &name, const QString &caption, const QString &hint,
                                      std::function<void()> triggered) {
    return m_window.addMenuBarEntry(name, caption, hint, std::move(triggered));
}

void WindowFrame::addDropTarget(QWidget *widget, const QString &caption, Drop drop, DropRefusal refusal) {
    m_window.dropTargets().add(widget, caption, std::move(drop), std::move(refusal));
}

void WindowFrame::setTrayPopup(QMenu *popup) {
    m_window.setTrayPopup(popup);
}

void WindowFrame::addTrayPopupRow(QAction *row) {
    m_window.trayPopupRows().add(row);
}

void WindowFrame::setTrayCount(int count) {
    m_window.trayIconLook().setCount(count);
}

void WindowFrame::setTrayPopupTitle(const QString &text) {
    m_window.trayPopupRows().setTitle(text);
}
