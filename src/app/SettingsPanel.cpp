#include "SettingsPanel.h"

#include "AppCore.h"
#include "AppTexts.h"
#include "Autostart.h"
#include "Dialogs.h"
#include "FieldFocus.h"
#include "ImageLists.h"
#include "IniFile.h"
#include "NamedWidgets.h"

#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFocusEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>

using NamedWidgets::named;

namespace {
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

QPixmap onlineDot() {
    QPixmap dot(16, 16);
    dot.fill(Qt::transparent);
    QPainter painter(&dot);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(0x1b, 0x5e, 0x20));
    painter.setBrush(QColor(0x43, 0xa0, 0x47));
    painter.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    return dot;
}
} // namespace

SettingsPanel::SettingsPanel(AppCore &core, QWidget *parent) : QWidget(parent), m_core(core) {
    setObjectName(QStringLiteral("OVKONFIG"));

    const auto edit = [this](const QString &name, const QString &label, const QString &hint) {
        auto *e = named(new QLineEdit(this), name, label);
        e->setToolTip(hint);
        e->installEventFilter(this);
        FieldFocus::selectAllOnFocus(e);
        return e;
    };
    const auto check = [this](const QString &name, const QString &caption, const QString &hint) {
        auto *c = named(new QCheckBox(caption, this), name, caption);
        c->setToolTip(hint);
        return c;
    };

    using namespace AppTexts;
    OVIP = edit(QStringLiteral("OVIP"), kIpLabel, kIpHint);
    OVMPORT = edit(QStringLiteral("OVMPORT"), kWebPortLabel, kWebPortHint);
    OVPORT = edit(QStringLiteral("OVPORT"), kGatewayPortLabel, kGatewayPortHint);
    OVKEY = edit(QStringLiteral("OVKEY"), kKeyLabel, kKeyHint);
    // The key opens the server: not shown on screen nor read aloud (the settings file keeps it).
    OVKEY->setEchoMode(QLineEdit::Password);
    OVBUBBLE = check(QStringLiteral("OVBUBBLE"), kBubble, kBubbleHint);
    OVMINI = check(QStringLiteral("OVMINI"), kMinimized, kMinimizedHint);
    OVAUTO = check(QStringLiteral("OVAUTO"), kAutostart, kAutostartHint);
    ovconnectbtn = named(new QPushButton(this), QStringLiteral("ovconnectbtn"), kConnect);
    OVOFFLINE = check(QStringLiteral("OVOFFLINE"), kOfflineTick, {});
    OVPFAD = edit(QStringLiteral("OVPFAD"), kFolderLabel, {});
    OVPFADbrowse = named(new QToolButton(this), QStringLiteral("OVPFADbrowse"), kFolderBrowse);
    OVPFADbrowse->setText(QStringLiteral("..."));
    menuladen = named(new QPushButton(kNeuLaden, this), QStringLiteral("menuladen"), kNeuLaden);
    OV3 = named(new QLabel(kLogo, this), QStringLiteral("OV3"), kLogo);
    online = named(new QLabel(this), QStringLiteral("online"), kOnline);
    online->setPixmap(onlineDot());
    online->setVisible(false);
    setConnectButtonConnected(false);

    buildLayout();

    connect(OVAUTO, &QCheckBox::toggled, this, &SettingsPanel::OVAUTOClick);
    connect(menuladen, &QPushButton::clicked, this, &SettingsPanel::menuladenClick);
    connect(OVPFADbrowse, &QToolButton::clicked, this, &SettingsPanel::browseFolder);
    connect(ovconnectbtn, &QPushButton::clicked, this, &SettingsPanel::connectButtonClicked);
}

void SettingsPanel::buildLayout() {
    const auto label = [this](const QString &text, QWidget *buddy) {
        auto *l = new QLabel(text, this);
        l->setBuddy(buddy);
        return l;
    };
    QFont logoFont = OV3->font();
    logoFont.setBold(true);
    logoFont.setItalic(true);
    logoFont.setPointSizeF(logoFont.pointSizeF() * 1.6);
    OV3->setFont(logoFont);
    OV3->setAlignment(Qt::AlignCenter);
    OV3->setFrameShape(QFrame::StyledPanel);
    OV3->setMinimumWidth(110);
    OVMPORT->setMaximumWidth(70);
    OVPORT->setMaximumWidth(70);

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(6, 4, 6, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(2);
    grid->addWidget(label(AppTexts::kIpLabel, OVIP), 0, 0);
    grid->addWidget(OVIP, 0, 1);
    grid->addWidget(label(AppTexts::kWebPortLabel, OVMPORT), 0, 2, Qt::AlignRight);
    grid->addWidget(OVMPORT, 0, 3);
    grid->addWidget(label(AppTexts::kGatewayPortLabel, OVPORT), 1, 0);
    grid->addWidget(OVPORT, 1, 1, Qt::AlignLeft);
    grid->addWidget(label(AppTexts::kKeyLabel, OVKEY), 1, 2, Qt::AlignRight);
    grid->addWidget(OVKEY, 1, 3);
    grid->addWidget(OV3, 0, 4, 2, 2);

    auto *checks = new QHBoxLayout;
    checks->addWidget(OVBUBBLE);
    checks->addWidget(OVMINI);
    checks->addWidget(OVAUTO);
    checks->addStretch(1);
    grid->addLayout(checks, 2, 0, 1, 4);
    grid->addWidget(ovconnectbtn, 2, 4);
    grid->addWidget(online, 2, 5, Qt::AlignCenter);
    grid->addWidget(OVOFFLINE, 3, 0, 1, 4);

    auto *folder = new QHBoxLayout;
    folder->setSpacing(0);
    folder->addWidget(OVPFAD, 1);
    folder->addWidget(OVPFADbrowse);
    grid->addWidget(label(AppTexts::kFolderLabel, OVPFAD), 4, 0);
    grid->addLayout(folder, 4, 1, 1, 3);
    grid->addWidget(menuladen, 4, 4, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);
}

void SettingsPanel::applySettings(const Settings::Values &v) {
    OVIP->setText(v.ip);
    emit gatewayHostChanged(v.ip);
    OVPORT->setText(QString::number(v.port));
    m_lastPort = v.port;
    emit gatewayPortChanged(v.port);
    OVMPORT->setText(QString::number(v.tcpPort));
    m_lastTcpPort = v.tcpPort;
    OVKEY->setText(v.key);
    OVMINI->setChecked(v.minimized);
    OVBUBBLE->setChecked(v.bubble);
    OVAUTO->setChecked(v.autostart);
    m_folder = v.pfad;
    OVPFAD->setText(v.pfad);
    TabSettings &tabs = m_core.tabSettings();
    tabs.setMail(v.mail);
    if (Settings::wholeNumber(v.mailtime)) {
        tabs.setMailtime(v.mailtime);
    } else {
        // A broken interval must not cut the start-up short: poll at the default instead.
        m_core.services().dialogs->error(Settings::notAWholeNumber(v.mailtime));
        tabs.setMailtime(Settings::Values().mailtime);
    }
    OVOFFLINE->setChecked(v.offline);
    tabs.setScreen(v.screen);
}

QString SettingsPanel::webPortText() const {
    return OVMPORT->text();
}

QString SettingsPanel::configurationFolder() const {
    // A folder typed but not left yet (the window closed, the tray menu used) is still a folder:
    // the file names must not be glued onto its last name. One the settings cannot hold is not
    // taken: the files stay where the stored setting will find them again.
    const QString &programFolder = m_core.paths().programFolder();
    const QString typed = Settings::configurationFolder(OVPFAD->text(), programFolder);
    return Settings::folderForFiles(Settings::unstorableFolder(typed, programFolder) ? m_folder : typed);
}

bool SettingsPanel::takeFolder() {
    const QString &programFolder = m_core.paths().programFolder();
    const QString typed = Settings::configurationFolder(OVPFAD->text(), programFolder);
    if (const std::optional<QString> problem = Settings::unstorableFolder(typed, programFolder)) {
        m_core.services().dialogs->error(*problem);
        OVPFAD->setText(m_folder);
        return false;
    }
    m_folder = typed;
    OVPFAD->setText(typed);
    return true;
}

QString SettingsPanel::gatewayKey() const {
    return OVKEY->text();
}

QString SettingsPanel::gatewayHost() const {
    return OVIP->text();
}

QString SettingsPanel::gatewayPortText() const {
    return OVPORT->text();
}

bool SettingsPanel::offline() const {
    return OVOFFLINE->isChecked();
}

bool SettingsPanel::balloonsEnabled() const {
    return OVBUBBLE->isChecked();
}

bool SettingsPanel::startMinimized() const {
    return OVMINI->isChecked();
}

void SettingsPanel::setOnlineIndicatorVisible(bool visible) {
    online->setVisible(visible);
}

void SettingsPanel::setOnlineIndicatorName(bool isOnline) {
    online->setAccessibleName(isOnline ? AppTexts::kOnline : AppTexts::kOfflineName);
}

void SettingsPanel::focusAddress() {
    OVIP->setFocus(Qt::OtherFocusReason);
}

void SettingsPanel::setConnectButtonConnected(bool connected) {
    m_connectShowsDisconnect = connected;
    const QString caption = connected ? AppTexts::kDisconnect : AppTexts::kConnect;
    ovconnectbtn->setText(caption);
    ovconnectbtn->setAccessibleName(caption);
    ovconnectbtn->setIcon(ImageLists::systemImage(connected ? 14 : 8));
}

bool SettingsPanel::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::FocusOut) {
        // Leaving the edit, not the window losing the focus or a menu opening over it.
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
            if (watched == OVIP)
                OVIPExit();
            else if (watched == OVPORT)
                OVPORTExit();
            else if (watched == OVMPORT)
                OVMPORTExit();
            else if (watched == OVKEY)
                OVKEYExit();
            else if (watched == OVPFAD)
                OVPFADExit();
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool SettingsPanel::store(const std::function<void(IniFile &)> &change) {
    // A file that could not be read is not written over (save() refuses and names it).
    IniFile ini(m_core.paths().settingsFile());
    change(ini);
    if (!ini.save(kOwnerOnly)) {
        m_core.services().dialogs->error(ini.errorString());
        return false;
    }
    return true;
}

bool SettingsPanel::storeOne(const QString &key, const QString &value) {
    return store([&](IniFile &ini) { ini.writeString(Settings::kSection, key, value); });
}

std::optional<int> SettingsPanel::convert(const QLineEdit *edit) {
    const std::optional<int> number = Settings::wholeNumber(edit->text());
    if (!number)
        m_core.services().dialogs->error(Settings::notAWholeNumber(edit->text()));
    return number;
}

void SettingsPanel::OVIPExit() {
    storeOne(Settings::Key::IP, OVIP->text());
    emit gatewayHostChanged(OVIP->text());
}

void SettingsPanel::OVPORTExit() {
    if (const std::optional<int> port = convert(OVPORT)) {
        m_lastPort = *port;
        storeOne(Settings::Key::Port, QString::number(*port));
        emit gatewayPortChanged(*port);
    }
}

void SettingsPanel::OVMPORTExit() {
    if (const std::optional<int> port = convert(OVMPORT)) {
        m_lastTcpPort = *port;
        storeOne(Settings::Key::TCPPort, QString::number(*port));
    }
}

void SettingsPanel::OVKEYExit() {
    storeOne(Settings::Key::Key, OVKEY->text());
}

void SettingsPanel::OVPFADExit() {
    if (takeFolder())
        storeOne(Settings::Key::Pfad, Settings::storedFolder(m_folder, m_core.paths().programFolder()));
}

void SettingsPanel::OVAUTOClick(bool checked) {
    Autostart *autostart = m_core.services().autostart;
    const bool ok = checked ? autostart->enable(ProgramPaths::programFile()) : autostart->disable();
    if (!ok)
        m_core.services().dialogs->error(autostart->errorString());
}

void SettingsPanel::menuladenClick() {
    if (m_core.hooks.loadMenu)
        m_core.hooks.loadMenu(configurationFolder());
}

bool SettingsPanel::writeSettings() {
    Settings::Values v;
    v.ip = OVIP->text();
    if (const std::optional<int> port = convert(OVMPORT))
        m_lastTcpPort = *port;
    v.tcpPort = m_lastTcpPort;
    if (const std::optional<int> port = convert(OVPORT))
        m_lastPort = *port;
    v.port = m_lastPort;
    v.key = OVKEY->text();
    v.minimized = OVMINI->isChecked();
    v.bubble = OVBUBBLE->isChecked();
    v.autostart = OVAUTO->isChecked();
    takeFolder();
    v.pfad = Settings::storedFolder(m_folder, m_core.paths().programFolder());
    const TabSettings &tabs = m_core.tabSettings();
    v.mail = tabs.mail();
    v.mailtime = tabs.mailtime();
    v.screen = tabs.screen();
    v.offline = OVOFFLINE->isChecked();
    return store([&](IniFile &ini) { Settings::write(ini, v); });
}

void SettingsPanel::browseFolder() {
    const QString chosen = QFileDialog::getExistingDirectory(this, AppTexts::kFolderChooser, OVPFAD->text());
    if (chosen.isEmpty())
        return;
    OVPFAD->setText(Settings::configurationFolder(QDir::toNativeSeparators(chosen), m_core.paths().programFolder()));
    // Stored when the edit is left, as if the path had been typed.
    OVPFAD->setFocus(Qt::OtherFocusReason);
}
