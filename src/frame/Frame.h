#pragma once

#include "CatalogueDrag.h"

#include <QString>
#include <functional>

class FrameEvents;
class LinkAccess;
class ObjectHooks;
class ProgramPaths;
class ProgramSettings;
class QAction;
class QMenu;
class QPoint;
class QWidget;
struct PlatformServices;

// The tabs of the main window's work area, in the order they are shown.
enum class WorkPage { Menu, LoadReplace, Email, System };

// What the program's frame offers a subsystem (see Subsystem): its folders and settings, the
// platform services, the server link, and the places in the main window and at the tray icon a
// subsystem may fill. Each subsystem gets a frame of its own; the boxes and balloons shown through
// its services are reported to events() under the subsystem's name.
class Frame {
public:
    using Drop = std::function<bool(const DraggedObject &object)>;
    using DropRefusal = std::function<QString()>;
    using PageContextMenu = std::function<void(const QPoint &globalPos, bool byKeyboard)>;

    virtual ~Frame() = default;

    // The program folder with the settings file "quendra.ini".
    virtual const ProgramPaths &paths() const = 0;
    // Where the program keeps data it collects itself (a database, a cache), ending in a
    // separator: the program folder of a portable program, else the user's data folder
    // ("$XDG_DATA_HOME/quendra/"). It may not exist yet.
    virtual QString dataFolder() const = 0;
    // The copy of the server's catalogue that "OV Struktur laden" writes ("cobjects.xml").
    virtual QString catalogueCopyFile() const = 0;
    // The settings as the settings panel shows them now.
    virtual ProgramSettings &settings() = 0;
    // The first half of `save_blist`: writes the settings file; false when it could not be
    // written (a box has said so).
    virtual bool saveSettings() = 0;
    virtual const PlatformServices &services() const = 0;
    virtual FrameEvents &events() = 0;
    virtual LinkAccess &link() = 0;
    // What the subsystems say about single objects: notification gates (a subsystem may hold
    // an object's balloons, messages and sounds back) and the actions offered on an object.
    virtual ObjectHooks &objects() = 0;

    // The main window: the parent of the subsystem's own windows and dialogs.
    virtual QWidget *window() = 0;
    // Status bar panel 0.
    virtual void setStatusText(const QString &text) = 0;
    // A box shown once the start-up is over (after the first connection), unless the window was
    // closed meanwhile.
    virtual void addStartupNotice(const QString &text) = 0;

    // Puts the panel on the tab, above its ">>" button; the tab owns it. parameterPanelHeight,
    // when given, is told the height the page's parameter panel has, now and whenever it changes.
    virtual void placeOnTab(WorkPage page, QWidget *panel,
                            std::function<void(int height)> parameterPanelHeight = {}) = 0;
    // A right click on the tab's page, or the context-menu key or Shift+F10 on it, at a global
    // position.
    virtual void onPageContextMenu(WorkPage page, PageContextMenu handler) = 0;
    // An entry of the main window's menu bar after the entries added before it and before
    // "Hilfe"; name is its objectName, the caption's first letter its mnemonic, a hint its tool tip.
    virtual QAction *addMenuBarEntry(const QString &name, const QString &caption, const QString &hint,
                                     std::function<void()> triggered) = 0;
    // A place the catalogue's objects can be put on without dragging ("Ablegen auf …"), offered
    // while the widget is shown; see DropTargets.
    virtual void addDropTarget(QWidget *widget, const QString &caption, Drop drop, DropRefusal refusal = {}) = 0;

    // The user's command menu at the tray icon; while it is open, polling reads nothing. The caller
    // keeps it.
    virtual void setTrayPopup(QMenu *popup) = 0;
    // A row at the end of the tray popup, below a separator line, whatever rebuilds the popup. The
    // caller keeps the action.
    virtual void addTrayPopupRow(QAction *row) = 0;
    // A number drawn on the tray icon (nothing for 0), e.g. of unread events.
    virtual void setTrayCount(int count) = 0;
    // A title row (disabled) at the start of the tray popup, whatever rebuilds the popup; empty:
    // none.
    virtual void setTrayPopupTitle(const QString &text) = 0;
};
