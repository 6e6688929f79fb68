#include "MainWindow.h"

#include "AppCore.h"
#include "Dialogs.h"
#include "HeaderPanel.h"
#include "HelpViewer.h"
#include "ImageLists.h"
#include "IniFile.h"
#include "SettingsPanel.h"
#include "StatusBar.h"
#include "ToolWindows.h"
#include "TrayIcon.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>

namespace {
const QString kSettingsCaption = QStringLiteral("Programmeinstellungen");

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
    setWindowTitle(QStringLiteral("Quendra"));
    setWindowIcon(ImageLists::applicationIcon());
    buildMenuBar();

    m_settings = new SettingsPanel(core, this);
    m_einstellungen = new HeaderPanel(QStringLiteral("Einstellungen"), kSettingsCaption, true, this);
    m_einstellungen->setContent(m_settings);
    m_einstellungen->setExpandedHeight(kSettingsHeight);
    m_menueerstellung =
        new HeaderPanel(QStringLiteral("Menueerstellung"), QStringLiteral("Menüerstellung"), false, this);
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
    connect(m_settings->ovconnectbtn, &QPushButton::clicked, this, &MainWindow::connectButtonClicked);

    TrayIcon *tray = m_core.services().tray;
    tray->setIcon(ImageLists::applicationIcon());
    tray->setHint(QStringLiteral("Quendra"));
    connect(tray, &TrayIcon::doubleClicked, this, &MainWindow::restoreFromTray);
    tray->show();

    resize(kDesignWidth, kClientHeight);
}

MainWindow::~MainWindow() = default;

void MainWindow::buildMenuBar() {
    auto *bar = new HintingMenuBar(this);
    bar->setObjectName(QStringLiteral("TeMenuBar1"));
    setMenuBar(bar);

    const auto action = [this](const QString &name, const QString &caption, auto slot) {
        auto *a = new QAction(caption, this);
        a->setObjectName(name);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };

    QMenu *datei = bar->addMenu(QStringLiteral("Datei"));
    datei->setObjectName(QStringLiteral("Datei"));
    QAction *traymodus = action(QStringLiteral("Traymodus"), QStringLiteral("Traymodus"), &MainWindow::traymodusClick);
    traymodus->setIcon(ImageLists::systemImage(1));
    datei->addAction(traymodus);
    datei->addSeparator();
    QAction *beenden = action(QStringLiteral("Beenden"), QStringLiteral("Beenden"), &MainWindow::close);
    beenden->setIcon(ImageLists::systemImage(12));
    datei->addAction(beenden);
    watchMenu(datei);

    bar->addAction(action(QStringLiteral("Console"), QStringLiteral("Console"), &MainWindow::consoleClick));
    QAction *webchecker =
        action(QStringLiteral("Webchecker"), QStringLiteral("Webchecker"), &MainWindow::webcheckerClick);
    webchecker->setToolTip(QStringLiteral("OV Struktur muss geladen sein"));
    bar->addAction(webchecker);
    bar->addAction(action(QStringLiteral("menukonfig"), QStringLiteral("Einstellungen"), &MainWindow::menukonfigClick));
    bar->addAction(action(QStringLiteral("Hilfe"), QStringLiteral("Hilfe"), &MainWindow::hilfeClick));
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

QListView *MainWindow::busMonitorView() const {
    return m_busMonitor->busmoni;
}

void MainWindow::checkHelpFile() {
    if (!QFileInfo::exists(m_core.helpFile()))
        m_core.services().dialogs->message(QStringLiteral("Hilfe-Datei nicht gefunden\r") + m_core.helpFile());
}

void MainWindow::loadSettings() {
    const IniFile ini(m_core.paths().settingsFile());
    m_settings->applySettings(Settings::read(ini, m_core.paths().programFolder()));
    m_core.wildcardTexts() = Settings::readWildcardTexts(ini);
}

bool MainWindow::loadUserFiles() {
    const QString folder = m_settings->configurationFolder();
    const AppHooks &hooks = m_core.hooks;
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
    m_versionCaption = QStringLiteral("Quendra - Version ") + QStringLiteral(QUENDRA_VERSION);
    setWindowTitle(m_versionCaption);
}

void MainWindow::createToolWindows() {
    m_console = ToolWindows::createConsole(this);
    m_webChecker = ToolWindows::createWebChecker(this);
    m_wildcardDialog = ToolWindows::createWildcardDialog(this);
}

bool MainWindow::trayAvailable() const {
    return m_core.services().tray->isAvailable();
}

void MainWindow::showAtStart() {
    if (!m_settings->OVMINI->isChecked())
        show();
    else if (!trayAvailable())
        showMinimized(); // without a tray the window must stay reachable from the task bar
}

void MainWindow::save_blist() {
    m_settings->writeSettings();
    if (m_core.hooks.saveMenu)
        m_core.hooks.saveMenu(m_settings->configurationFolder());
}

void MainWindow::setBusMonitorShown(bool shown) {
    m_busMonitor->setVisible(shown);
    resize(shown ? kWidthWithBusMonitor : kWidthWithoutBusMonitor, height());
}

void MainWindow::showbusmoniClick() {
    QPushButton *state = m_tabs->showbusmoni;
    const bool show = state->text() == QStringLiteral(">>");
    state->setText(show ? QStringLiteral("<<") : QStringLiteral(">>"));
    state->setAccessibleName(state->text());
    state->setToolTip(show ? QStringLiteral("Busmonitor ausblenden") : QStringLiteral("Busmonitor anzeigen"));
    state->setAccessibleDescription(state->toolTip());
    setBusMonitorShown(show);
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
        showMinimized();
}

void MainWindow::consoleClick() {
    if (m_console) {
        m_console->show();
        m_console->raise();
    }
}

void MainWindow::webcheckerClick() {
    if (m_webChecker) {
        m_webChecker->show();
        m_webChecker->raise();
    }
}

void MainWindow::menukonfigClick() {
    if (m_wildcardDialog)
        m_wildcardDialog->exec();
}

void MainWindow::hilfeClick() {
    if (QFileInfo::exists(m_core.helpFile()))
        m_core.services().help->showContext(m_core.helpFile(), 1);
    else
        checkHelpFile();
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
    if (event->type() == QEvent::WindowStateChange && isMinimized() && trayAvailable())
        QTimer::singleShot(0, this, &QWidget::hide);
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
    save_blist();
    const QString folder = m_settings->configurationFolder();
    if (hooks.saveLoadReplace)
        hooks.saveLoadReplace(folder);
    if (hooks.saveMail)
        hooks.saveMail(folder);
    m_core.services().help->closeAll();
    m_core.services().tray->hide();
    for (QWidget *window : {m_console, m_webChecker, static_cast<QWidget *>(m_wildcardDialog)})
        if (window)
            window->hide();
    emit closed();
}

QString MainWindow::keyText() const {
    return m_settings->OVKEY->text();
}
QString MainWindow::hostText() const {
    return m_settings->OVIP->text();
}
QString MainWindow::portText() const {
    return m_settings->OVPORT->text();
}
bool MainWindow::offlineTicked() const {
    return m_settings->OVOFFLINE->isChecked();
}
void MainWindow::setConnectButtonConnected(bool connected) {
    m_settings->setConnectButtonConnected(connected);
}
void MainWindow::setOnlineIndicatorVisible(bool visible) {
    m_settings->online->setVisible(visible);
}

void MainWindow::setHeaderOnline() {
    m_einstellungen->setCaption(kSettingsCaption + QStringLiteral(" - Verbunden mit ") + hostText() + u':' +
                                portText());
}

void MainWindow::setHeaderOffline() {
    m_einstellungen->setCaption(kSettingsCaption + QStringLiteral(" - offline"));
}

void MainWindow::setStatusText(const QString &text) {
    m_statusBar->setPanelText(0, text);
}

void MainWindow::rollUpSettings() {
    m_einstellungen->setRolled(true);
    applySizes(kRolledUpSizes);
}
