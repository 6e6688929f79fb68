#include "CanberraEventSounds.h"
#include "DBusSingleInstance.h"
#include "DesktopScreenSaver.h"
#include "HtmlHelpViewer.h"
#include "MessageBoxDialogs.h"
#include "Platform.h"
#include "SystemTrayIcon.h"
#include "XdgAutostart.h"

namespace {
class LinuxPlatform : public Platform {
public:
    PlatformServices services() override {
        PlatformServices s;
        s.tray = &m_tray;
        s.dialogs = &m_dialogs;
        s.autostart = &m_autostart;
        s.help = &m_help;
        s.sounds = m_sounds.get();
        s.screenSaver = &m_screenSaver;
        return s;
    }

private:
    SystemTrayIcon m_tray;
    MessageBoxDialogs m_dialogs;
    XdgAutostart m_autostart;
    HtmlHelpViewer m_help;
    std::unique_ptr<EventSounds> m_sounds = createEventSounds();
    DesktopScreenSaver m_screenSaver;
};
} // namespace

std::unique_ptr<Platform> createPlatform() {
    return std::make_unique<LinuxPlatform>();
}

std::unique_ptr<SingleInstance> createSingleInstance() {
    return std::make_unique<DBusSingleInstance>();
}
