#include "MainWindow.h"

#include "AppCore.h"
#include "AppTexts.h"
#include "Dialogs.h"
#include "FrameParts.h"
#include "HeaderPanel.h"
#include "HelpViewer.h"
#include "ImageLists.h"
#include "IniFile.h"
#include "LinkAccess.h"
#include "SettingsPanel.h"
#include "SettingsStore.h"
#include "StatusBar.h"
#include "TrayIcon.h"
#include "TrayIconLook.h"
#include "TrayPopupRows.h"

#include <QCloseEvent>
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

MainWindow::MainWindow(AppCore &core, QWidget *parent)
    : QMainWindow(parent), m_core(core), m_settingsStore(std::make_unique<SettingsStore>(core)),
      m_trayLook(std::make_unique<TrayIconLook>(*core.services().tray)), m_trayRows(new TrayPopupRows(this)) {
    setObjectName(QStringLiteral("TForm1"));
    setWindowTitle(AppTexts::kProgramName);
    setWindowIcon(ImageLists::applicationIcon());
    buildMenuBar();

    m_settings = new SettingsPanel(core, *m_settingsStore, this);
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
    m_trayLook->setBase(ImageLists::applicationIcon());
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

    // The subsystems' entries come between "Datei" and "Hilfe".
    m_hilfe = action(QStringLiteral("Hilfe"), AppTexts::kHilfe, &MainWindow::hilfeClick);
    // F1 opens the help from every window of the program that is not held by a modal one.
    m_hilfe->setShortcut(QKeySequence(Qt::Key_F1));
    m_hilfe->setShortcutContext(Qt::ApplicationShortcut);
    bar->addAction(m_hilfe);
}

QAction *MainWindow::addMenuBarEntry(const QString &name, const QString &caption, const QString &hint,
                                     std::function<void()> triggered) {
    auto *entry = new QAction(withMnemonic(caption), this);
    entry->setObjectName(name);
    if (!hint.isEmpty())
        entry->setToolTip(hint);
    connect(entry, &QAction::triggered, this, [triggered = std::move(triggered)] { triggered(); });
    menuBar()->insertAction(m_hilfe, entry);
    return entry;
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
    m_trayRows->setPopup(popup);
    m_core.services().tray->setPopup(popup);
}

void MainWindow::setBusMonitorModel(QAbstractItemModel *model) {
    m_busMonitor->setModel(model);
}

DropTargets &MainWindow::dropTargets() {
    return m_catalogue->dropTargets();
}

void MainWindow::checkHelpFile() {
    if (!QFileInfo::exists(m_core.helpFile()))
        m_core.services().dialogs->message(AppTexts::kHelpFileMissing + m_core.helpFile());
}

void MainWindow::loadSettings() {
    const IniFile settings = m_settingsStore->load();
    m_core.subsystems().readSettings(settings);
}

void MainWindow::loadUserFiles() {
    const QString folder = m_core.settings().configurationFolder();
    // A folder that is gone (a removed drive, a path from another machine) would otherwise show
    // an empty menu with no word why; the saves then fail with their own messages and create
    // nothing.
    if (!QFileInfo(folder).isDir()) {
        const QString text = AppTexts::kFolderMissing.arg(folder);
        m_statusBar->setNote(QStringLiteral("folder"), text);
        m_statusBar->setToolTip(text);
        if (m_core.parts)
            m_core.parts->linkAccess().note(text);
    }
    m_core.subsystems().load(folder);
}

void MainWindow::hideBusMonitorColumn() {
    setBusMonitorShown(false);
}

void MainWindow::applyVersionCaption() {
    m_versionCaption = AppTexts::kVersionCaption + QStringLiteral(QUENDRA_VERSION);
    setWindowTitle(m_versionCaption);
}

bool MainWindow::trayAvailable() const {
    return m_core.services().tray->isAvailable();
}

void MainWindow::showAtStart() {
    m_startedUp = true;
    if (m_showRequested)
        restoreFromTray();
    else if (!m_core.settings().startMinimized())
        show();
    else if (!trayAvailable())
        stayInTaskBar();
    if (m_settingsStore->firstRun()) {
        // Nothing is set up yet: the window says where to begin, with the settings open.
        m_einstellungen->setRolled(false);
        applySizes(kExpandedSizes);
        m_settings->focusAddress();
        setStatusText(AppTexts::kFirstRun);
    }
}

bool MainWindow::saveSettings() {
    return m_settingsStore->writeAll();
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
    if (m_core.parts)
        m_core.parts->closeLink();
    SubsystemList &subsystems = m_core.subsystems();
    subsystems.close();
    // Every save runs, whatever happened to the one before; the subsystems' files follow the
    // settings (`save_blist` writes the settings, then the menu).
    const bool settingsSaved = saveSettings();
    const bool filesSaved = subsystems.save(m_core.settings().configurationFolder());
    m_closingSaveFailed = !settingsSaved || !filesSaved;
    m_core.services().help->closeAll();
    m_core.services().tray->hide();
    emit closed();
}

QString MainWindow::keyText() const {
    return m_core.settings().key();
}
QString MainWindow::hostText() const {
    return m_core.settings().host();
}
QString MainWindow::portText() const {
    return m_core.settings().gatewayPortText();
}
bool MainWindow::offlineTicked() const {
    return m_core.settings().offline();
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
