#pragma once

#include "LinkView.h"
#include "WorkArea.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class AppCore;
class BusMonitorColumn;
class CatalogueColumn;
class DropTargets;
class HeaderPanel;
class QAbstractItemModel;
class QAction;
class QMenu;
class SettingsPanel;
class SettingsStore;
class StatusBar;
class TrayIconLook;
class TrayPopupRows;
class WorkTabs;

// `TForm1`: the frame of the main window. It composes the settings panel, the object-tree column,
// the tabs, the bus monitor column and the status bar, carries the menu bar and the tray
// behaviour, and runs the closing sequence; the subsystems fill its places through their frames
// (WindowFrame). The start-up drives its creation steps in order.
class MainWindow : public QMainWindow, public LinkView {
    Q_OBJECT
public:
    static constexpr int kClientHeight = 699;
    static constexpr int kDesignWidth = 772;
    static constexpr int kWidthWithoutBusMonitor = 561;
    static constexpr int kWidthWithBusMonitor = 765;
    static constexpr int kSettingsHeight = 159;
    // The program's exit code when a save of the closing sequence failed.
    static constexpr int kSaveFailedExitCode = 1;

    explicit MainWindow(AppCore &core, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Creation steps, in the order the start-up calls them.
    void checkHelpFile();
    // Reads the settings file into the settings model; the subsystems read their own sections.
    void loadSettings();
    // The subsystems load the user files. A configuration folder that does not exist is reported
    // in the status bar and the bus monitor.
    void loadUserFiles();
    void hideBusMonitorColumn();
    void applyVersionCaption();
    // Shows the window when the start-up is done, or leaves it in the tray with "minimiert starten".
    void showAtStart();

    // The first half of `save_blist`: the settings; false when they could not be written (the user
    // has been told).
    bool saveSettings();
    // The user's command menu on the tray icon; its opening and closing count as a menu of this
    // window (menuOpenChanged). Ownership stays with the caller.
    void setTrayPopup(QMenu *popup);
    // The rows at the end of the tray popup, and the picture of the tray icon.
    TrayPopupRows &trayPopupRows() { return *m_trayRows; }
    TrayIconLook &trayIconLook() { return *m_trayLook; }
    // An entry of the menu bar before "Hilfe", after those added before; see Frame.
    QAction *addMenuBarEntry(const QString &name, const QString &caption, const QString &hint,
                             std::function<void()> triggered);
    // The bus monitor's lines, shown in `busmoni`.
    void setBusMonitorModel(QAbstractItemModel *model);
    // Where the catalogue's objects can be put without dragging; each panel adds its drop targets.
    DropTargets &dropTargets();

    const QString &versionCaption() const { return m_versionCaption; }
    bool isClosed() const { return m_closed; }
    // Whether a save of the closing sequence failed: the program then ends with kSaveFailedExitCode.
    bool closingSaveFailed() const { return m_closingSaveFailed; }
    SettingsPanel *settingsPanel() const { return m_settings; }
    StatusBar *statusBar1() const { return m_statusBar; }
    HeaderPanel *settingsHeader() const { return m_einstellungen; }
    WorkTabs *workTabs() const { return m_tabs; }
    CatalogueColumn *catalogueColumn() const { return m_catalogue; }

    // LinkView
    QString keyText() const override;
    QString hostText() const override;
    QString portText() const override;
    bool offlineTicked() const override;
    void setConnectButtonConnected(bool connected) override;
    void setOnlineIndicatorVisible(bool visible) override;
    void setHeaderOnline() override;
    void setHeaderOffline() override;
    void setStatusText(const QString &text) override;
    void rollUpSettings() override;

public slots:
    void showbusmoniClick();
    void EinstellungenButtonClick(bool rolled);
    void traymodusClick();
    void hilfeClick();
    // Back from the tray: normal, visible and in front.
    void restoreFromTray();
    // Another start of the program asked for the window: shown and in front. While the start-up
    // still runs, it shows the window at its end, "minimiert starten" or not.
    void showOnRequest();

signals:
    // A menu of this window (a menu of the menu bar or the tray popup) opened or closed.
    void menuOpenChanged(bool open);
    // `ovconnectbtn` was pressed.
    void connectButtonClicked();
    // The closing sequence has run; the program ends.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void buildMenuBar();
    QWidget *buildWorkArea();
    void watchMenu(QMenu *menu);
    void setBusMonitorShown(bool shown);
    void applySizes(const WorkAreaSizes &sizes);
    bool trayAvailable() const;
    // Without a tray nothing could bring a hidden window back: it stays minimised in the task bar,
    // and the status bar says why.
    void stayInTaskBar();
    void trayAvailabilityChanged(bool available);
    void runClosingSequence();

    AppCore &m_core;
    std::unique_ptr<SettingsStore> m_settingsStore;
    std::unique_ptr<TrayIconLook> m_trayLook;
    TrayPopupRows *m_trayRows = nullptr;
    QAction *m_hilfe = nullptr;
    HeaderPanel *m_einstellungen = nullptr;
    HeaderPanel *m_menueerstellung = nullptr;
    SettingsPanel *m_settings = nullptr;
    CatalogueColumn *m_catalogue = nullptr;
    WorkTabs *m_tabs = nullptr;
    BusMonitorColumn *m_busMonitor = nullptr;
    StatusBar *m_statusBar = nullptr;
    QString m_versionCaption;
    bool m_closed = false;
    bool m_closingSaveFailed = false;
    bool m_placed = false;
    bool m_startedUp = false;     // showAtStart() ran
    bool m_showRequested = false; // asked for by another start before that
};
