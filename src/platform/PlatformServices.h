#pragma once

class TrayIcon;
class Dialogs;
class Autostart;
class HelpViewer;
class EventSounds;
class ScreenSaverControl;

// The platform services the program uses, handed to the application as one bundle so that tests
// can put recording fakes in their place. The pointers are not owned; whoever fills the bundle
// keeps the services alive for the life of the application.
struct PlatformServices {
    TrayIcon *tray = nullptr;
    Dialogs *dialogs = nullptr;
    Autostart *autostart = nullptr;
    HelpViewer *help = nullptr;
    EventSounds *sounds = nullptr;
    ScreenSaverControl *screenSaver = nullptr;
};
