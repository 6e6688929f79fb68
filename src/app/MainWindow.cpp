#include "MainWindow.h"

#include "AppCore.h"
#include "AppTexts.h"
#include "Autostart.h"
#include "CheckedFileWriter.h"
#include "ConsoleWindow.h"
#include "Dialogs.h"
#include "HeaderPanel.h"
#include "HelpViewer.h"
#include "ImageLists.h"
#include "IniFile.h"
#include "LoadReplaceFile.h"
#include "MailFile.h"
#include "MenuFile.h"
#include "SettingsPanel.h"
#include "StatusBar.h"
#include "ToolWindows.h"
#include "TrayIcon.h"
#include "WebCheckWindow.h"
#include "WildcardDialog.h"
#include "WildcardTextsFile.h"
#include "WindowPlacement.h"

#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

namespace {
QString withMnemonic(const QString &caption) {
    return u'&' + caption;
}

// A menu bar shows no hints of its own; "Webchecker" has one. Entries without a hint of their
// own (whose tool tip is only their text) show none.
class HintingMenuBar : public QMenuBar {
public:
    using QMenuBar::QMenuBar;

protected:
    bool event(QEvent *event) override {
        if (event->type() != QEvent::ToolTip)
            return QMenuBar::event(event);
        const auto *help = static_cast<QHelpEvent *>(event);
        QAction *action = actionAt(help->pos());
        if (action && action->toolTip() != action->iconText())
            QToolTip::showText(help->globalPos(), action->toolTip(), this, actionGeometry(action));
        else
            QToolTip::hideText();
        return true;
    }
};
} // namespace

MainWindow::MainWindow(AppCore &core, QWidget *parent) : QMainWindow(parent), m_core(core) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(AppTexts::kProgramName);
    setWindowIcon(ImageLists::applicationIcon());
    buildMenuBar();

    m_settings = new SettingsPanel(core, this);
    m_einstellungen = new HeaderPanel(QStringLiteral("Einstellungen"), AppTexts::kSettingsCaption, true, this);
    m_einstellungen->setContent(m_settings);
    m_einstellungen->setExpandedHeight(kSettingsHeight);
    m_menueerstellung = new HeaderPanel(QStringLiteral("Menueerstellung"), AppTexts::kMenueerstellung, false, this);
    m_menueerstellung->setContent(buildWorkArea());

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_einstellungen);
    layout->addWidget(m_menueerstellung, 1);
    setCentralWidget(central);

    m_statusBar = new StatusBar(this);
    setStatusBar(m_statusBar);

    connect(m_einstellungen, &HeaderPanel::rollToggled, this, &MainWindow::EinstellungenButtonClick);
    connect(m_tabs, &WorkTabs::busMonitorToggleClicked, this, &MainWindow::showbusmoniClick);
    // The first start's hint asks for connect; once pressed, it is done and the link's own texts follow.
    connect(m_settings, &SettingsPanel::connectButtonClicked, this, [this] {
        if (m_statusBar->panelText(0) == AppTexts::kFirstRun)
            setStatusText({});
    });
    connect(m_settings, &SettingsPanel::connectButtonClicked, this, &MainWindow::connectButtonClicked);

    TrayIcon *tray = m_core.services().tray;
    tray->setIcon(ImageLists::applicationIcon());
    tray->setHint(AppTexts::kProgramName);
    connect(tray, &TrayIcon::doubleClicked, this, &MainWindow::restoreFromTray);
    connect(tray, &TrayIcon::activated, this, &MainWindow::restoreFromTray);
    connect(tray, &TrayIcon::balloonClicked, this, &MainWindow::restoreFromTray);
    connect(tray, &TrayIcon::availabilityChanged, this, &MainWindow::trayAvailabilityChanged);
    connect(tray, &TrayIcon::balloonsAvailableChanged, this, [this](bool available, const QString &reason) {
        if (available)
            m_statusBar->clearNote(AppTexts::kNoBalloonsNote);
        else
            m_statusBar->setNote(AppTexts::kNoBalloonsNote, AppTexts::kNoBalloonsNote,
                                 AppTexts::kNoBalloonsDetail.arg(reason));
    });
    tray->show();

    resize(kDesignWidth, kClientHeight);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenuBar() {
    auto *bar = new HintingMenuBar(this);
    bar->setObjectName(QStringLiteral("TeMenuBar1"));
    setMenuBar(bar);

    // Every entry's first letter is its mnemonic (Alt+letter on the bar, the letter alone inside
    // "Datei"; no two collide); the caption shown and read out stays the same.
    const auto action = [this](const QString &name, const QString &caption, auto slot) {
        auto *a = new QAction(withMnemonic(caption), this);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };

    QMenu *datei = bar->addMenu(withMnemonic(AppTexts::kDatei));
    datei->setObjectName(QStringLiteral("Datei"));
    datei->setAccessibleName(AppTexts::kDatei);
    QAction *traymodus = action(QStringLiteral("Traymodus"), AppTexts::kTraymodus, &MainWindow::traymodusClick);
    traymodus->setIcon(ImageLists::systemImage(1));
    datei->addAction(traymodus);
    datei->addSeparator();
    QAction *beenden = action(QStringLiteral("Beenden"), AppTexts::kBeenden, &MainWindow::close);
    beenden->setIcon(ImageLists::systemImage(12));
    datei->addAction(beenden);
    watchMenu(datei);

    bar->addAction(action(QStringLiteral("Console"), AppTexts::kConsole, &MainWindow::consoleClick));
    QAction *webchecker = action(QStringLiteral("Webchecker"), AppTexts::kWebchecker, &MainWindow::webcheckerClick);
    webchecker->setToolTip(AppTexts::kWebcheckerHint);
    bar->addAction(webchecker);
    bar->addAction(action(QStringLiteral("menukonfig"), AppTexts::kEinstellungen, &MainWindow::menukonfigClick));
    QAction *hilfe = action(QStringLiteral("Hilfe"), AppTexts::kHilfe, &MainWindow::hilfeClick);
    // F1 opens the help from every window of the program that is not held by a modal one.
    hilfe->setShortcut(QKeySequence(Qt::Key_F1));
    hilfe->setShortcutContext(Qt::ApplicationShortcut);
    bar->addAction(hilfe);
}

QWidget *MainWindow::buildWorkArea() {
    auto *area = new QWidget(this);
    // The columns keep their named sizes; a smaller window cuts them off instead of growing.
    area->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_catalogue = new CatalogueColumn(area);
    m_tabs = new WorkTabs(area);
    m_busMonitor = new BusMonitorColumn(area);
    auto *columns = new QHBoxLayout(area);
    columns->setContentsMargins(4, 0, 0, 0);
    columns->setSpacing(3);
    columns->addWidget(m_catalogue);
    columns->addWidget(m_tabs);
    columns->addWidget(m_busMonitor);
    columns->addStretch(1);
    return area;
}

void MainWindow::watchMenu(QMenu *menu) {
    connect(menu, &QMenu::aboutToShow, this, [this] { emit menuOpenChanged(true); });
    connect(menu, &QMenu::aboutToHide, this, [this] { emit menuOpenChanged(false); });
}

void MainWindow::setTrayPopup(QMenu *popup) {
    watchMenu(popup);
    m_core.services().tray->setPopup(popup);
}

void MainWindow::setBusMonitorModel(QAbstractItemModel *model) {
    m_busMonitor->setModel(model);
}

void MainWindow::setMenuEditor(QWidget *editor) {
    m_tabs->placeMenuEditor(editor);
}

DropTargets &MainWindow::dropTargets() {
    return m_catalogue->dropTargets();
}

void MainWindow::checkHelpFile() {
    if (!QFileInfo::exists(m_core.helpFile()))
        m_core.services().dialogs->message(AppTexts::kHelpFileMissing + m_core.helpFile());
}

void MainWindow::loadSettings() {
    const ProgramPaths &paths = m_core.paths();
    // What a program killed in the middle of a save left beside the files of the program folder.
    // Nothing of ours is being written yet: every one of them is a leftover.
    QStringList files{paths.settingsFile(), paths.file(QStringLiteral("cobjects.xml"))};
    if (const Autostart *autostart = m_core.services().autostart; autostart && !autostart->entryFile().isEmpty())
        files << autostart->entryFile();
    CheckedFileWriter::removeLeftovers(files);
    CheckedFileWriter::removeLeftoversIn(
        paths.programFolder(), {QStringLiteral("-qnd.ovw"), QStringLiteral("-qnd.wcv"), QStringLiteral("-qnd.htip")});
    m_firstRun = !QFileInfo::exists(paths.settingsFile());
    const IniFile ini(paths.settingsFile());
    // Said now, not first when the settings are saved: they are never written over (what the file
    // holds would be lost), so every change the user makes until the file is mended stays unsaved.
    if (!ini.readOk())
        m_core.services().dialogs->error(ini.errorString());
    m_settings->applySettings(Settings::read(ini, m_core.paths().programFolder()));
    m_core.wildcardTexts() = WildcardTextsFile::read(ini);
}

bool MainWindow::loadUserFiles() {
    const QString folder = m_settings->configurationFolder();
    const AppHooks &hooks = m_core.hooks;
    // A folder that is gone (a removed drive, a path from another machine) would otherwise show
    // an empty menu with no word why; the saves then fail with their own messages and create
    // nothing.
    if (!QFileInfo(folder).isDir()) {
        const QString text = QStringLiteral("Konfigurationsordner \"%1\" nicht gefunden").arg(folder);
        m_statusBar->setNote(QStringLiteral("folder"), text);
        m_statusBar->setToolTip(text);
        if (hooks.busMonitorNote)
            hooks.busMonitorNote(text);
    }
    CheckedFileWriter::removeLeftovers({menuFilePath(folder), loadReplaceFilePath(folder), mailFilePath(folder)});
    const bool notice = hooks.loadMenu && hooks.loadMenu(folder);
    if (hooks.loadLoadReplace)
        hooks.loadLoadReplace(folder);
    if (hooks.loadMail)
        hooks.loadMail(folder);
    return notice;
}

void MainWindow::hideBusMonitorColumn() {
    setBusMonitorShown(false);
}

void MainWindow::applyVersionCaption() {
    m_versionCaption = AppTexts::kVersionCaption + QStringLiteral(QUENDRA_VERSION);
    setWindowTitle(m_versionCaption);
}

void MainWindow::createToolWindows() {
    m_console = ToolWindows::createConsole(this);
    m_webChecker = ToolWindows::createWebChecker(this, m_core.paths().programFolder(), *m_core.services().dialogs,
                                                 m_core.browsers);
    m_wildcardDialog = ToolWindows::createWildcardDialog(this, m_core.paths().settingsFile(), m_core.wildcardTexts(),
                                                         *m_core.services().dialogs);
}

bool MainWindow::trayAvailable() const {
    return m_core.services().tray->isAvailable();
}

void MainWindow::showAtStart() {
    m_startedUp = true;
    if (m_showRequested)
        restoreFromTray();
    else if (!m_settings->startMinimized())
        show();
    else if (!trayAvailable())
        stayInTaskBar();
    if (m_firstRun) {
        // Nothing is set up yet: the window says where to begin, with the settings open.
        m_einstellungen->setRolled(false);
        applySizes(kExpandedSizes);
        m_settings->focusAddress();
        setStatusText(AppTexts::kFirstRun);
    }
}

bool MainWindow::save_blist() {
    // The menu is saved also when the settings were not.
    const bool settingsSaved = m_settings->writeSettings();
    const bool menuSaved = !m_core.hooks.saveMenu || m_core.hooks.saveMenu(m_settings->configurationFolder());
    return settingsSaved && menuSaved;
}

void MainWindow::setBusMonitorShown(bool shown) {
    m_busMonitor->setVisible(shown);
    resize(shown ? kWidthWithBusMonitor : kWidthWithoutBusMonitor, height());
}

void MainWindow::showbusmoniClick() {
    setBusMonitorShown(m_tabs->flipBusMonitorToggle());
}

void MainWindow::applySizes(const WorkAreaSizes &sizes) {
    m_busMonitor->applySizes(sizes);
    m_tabs->applySizes(sizes);
    m_catalogue->applySizes(sizes);
}

void MainWindow::EinstellungenButtonClick(bool rolled) {
    applySizes(rolled ? kRolledUpSizes : kExpandedSizes);
}

void MainWindow::traymodusClick() {
    if (trayAvailable())
        hide();
    else
        stayInTaskBar();
}

void MainWindow::stayInTaskBar() {
    m_statusBar->setNote(AppTexts::kNoTrayNote, AppTexts::kNoTrayNote, AppTexts::kNoTrayDetail);
    if (!isMinimized() || isHidden())
        showMinimized();
}

void MainWindow::trayAvailabilityChanged(bool available) {
    if (available) {
        m_statusBar->clearNote(AppTexts::kNoTrayNote);
        return;
    }
    // The tray went (its panel ended) while the window waited in it.
    if (m_startedUp && !m_closed && isHidden())
        stayInTaskBar();
}

void MainWindow::consoleClick() {
    if (m_console)
        WindowPlacement::showCentred(m_console, this);
}

void MainWindow::webcheckerClick() {
    if (m_webChecker)
        m_webChecker->open();
}

void MainWindow::menukonfigClick() {
    // Modal, without a nested event loop of its own: the program's timers and values go on.
    if (m_wildcardDialog) {
        m_wildcardDialog->setWindowModality(Qt::ApplicationModal);
        m_wildcardDialog->show();
        m_wildcardDialog->raise();
    }
}

void MainWindow::hilfeClick() {
    if (QFileInfo::exists(m_core.helpFile()))
        m_core.services().help->showContext(m_core.helpFile(), 1);
    else
        checkHelpFile();
}

void MainWindow::showOnRequest() {
    if (m_closed)
        return;
    if (!m_startedUp)
        m_showRequested = true;
    else
        restoreFromTray();
}

void MainWindow::restoreFromTray() {
    setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void MainWindow::changeEvent(QEvent *event) {
    QMainWindow::changeEvent(event);
    // Minimise-to-tray; without a tray the window stays minimised in the task bar.
    if (event->type() == QEvent::WindowStateChange && isMinimized()) {
        if (trayAvailable())
            QTimer::singleShot(0, this, &QWidget::hide);
        else
            m_statusBar->setNote(AppTexts::kNoTrayNote, AppTexts::kNoTrayNote, AppTexts::kNoTrayDetail);
    }
}

void MainWindow::showEvent(QShowEvent *event) {
    // Centred when first shown, with the width the start-up has given it by then.
    if (!m_placed) {
        m_placed = true;
        if (const QScreen *screen = QGuiApplication::primaryScreen())
            setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), screen->availableGeometry()));
    }
    QMainWindow::showEvent(event);
}

void MainWindow::closeEvent(QCloseEvent *event) {
    if (!m_closed)
        runClosingSequence();
    event->accept();
}

void MainWindow::runClosingSequence() {
    m_closed = true;
    const AppHooks &hooks = m_core.hooks;
    if (hooks.disconnect)
        hooks.disconnect();
    // Every save runs, whatever happened to the one before.
    bool saved = save_blist();
    const QString folder = m_settings->configurationFolder();
    if (hooks.saveLoadReplace && !hooks.saveLoadReplace(folder))
        saved = false;
    if (hooks.saveMail && !hooks.saveMail(folder))
        saved = false;
    m_closingSaveFailed = !saved;
    m_core.services().help->closeAll();
    m_core.services().tray->hide();
    for (QWidget *window : {static_cast<QWidget *>(m_console), static_cast<QWidget *>(m_webChecker),
                            static_cast<QWidget *>(m_wildcardDialog)})
        if (window)
            window->hide();
    emit closed();
}

QString MainWindow::keyText() const {
    return m_settings->gatewayKey();
}
QString MainWindow::hostText() const {
    return m_settings->gatewayHost();
}
QString MainWindow::portText() const {
    return m_settings->gatewayPortText();
}
bool MainWindow::offlineTicked() const {
    return m_settings->offline();
}
void MainWindow::setConnectButtonConnected(bool connected) {
    m_settings->setConnectButtonConnected(connected);
}
void MainWindow::setOnlineIndicatorVisible(bool visible) {
    m_settings->setOnlineIndicatorVisible(visible);
}

void MainWindow::setHeaderOnline() {
    m_einstellungen->setCaption(AppTexts::kSettingsCaption + AppTexts::kConnectedWith + hostText() + u':' + portText());
}

void MainWindow::setHeaderOffline() {
    m_einstellungen->setCaption(AppTexts::kSettingsCaption + AppTexts::kOffline);
}

void MainWindow::setStatusText(const QString &text) {
    m_statusBar->setPanelText(0, text);
}

void MainWindow::rollUpSettings() {
    m_einstellungen->setRolled(true);
    applySizes(kRolledUpSizes);
}
