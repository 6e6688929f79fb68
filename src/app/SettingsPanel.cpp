#include "SettingsPanel.h"

#include "AppCore.h"
#include "AppTexts.h"
#include "FieldFocus.h"
#include "ImageLists.h"
#include "NamedWidgets.h"
#include "SettingsStore.h"

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

SettingsPanel::SettingsPanel(AppCore &core, SettingsStore &store, QWidget *parent)
    : QWidget(parent), m_core(core), m_store(store) {
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
    OVPFADbrowse->setText(kFolderBrowseCaption);
    menuladen = named(new QPushButton(kNeuLaden, this), QStringLiteral("menuladen"), kNeuLaden);
    OV3 = named(new QLabel(kLogo, this), QStringLiteral("OV3"), kLogo);
    online = named(new QLabel(this), QStringLiteral("online"), kOnline);
    online->setPixmap(onlineDot());
    online->setVisible(false);
    setConnectButtonConnected(false);

    buildLayout();
    bindToSettings();

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

void SettingsPanel::bindToSettings() {
    ProgramSettings &settings = m_core.settings();
    // Each edit and its value: the model follows what is typed, the edit what the model takes.
    const auto edit = [this](QLineEdit *e, const QString &value, void (ProgramSettings::*set)(const QString &),
                             void (ProgramSettings::*changed)(const QString &)) {
        e->setText(value);
        connect(e, &QLineEdit::textChanged, &m_core.settings(), set);
        connect(&m_core.settings(), changed, e, [e](const QString &text) {
            if (e->text() != text)
                e->setText(text);
        });
    };
    edit(OVIP, settings.host(), &ProgramSettings::setHost, &ProgramSettings::hostChanged);
    edit(OVPORT, settings.gatewayPortText(), &ProgramSettings::setGatewayPortText,
         &ProgramSettings::gatewayPortTextChanged);
    edit(OVMPORT, settings.webPortText(), &ProgramSettings::setWebPortText, &ProgramSettings::webPortTextChanged);
    edit(OVKEY, settings.key(), &ProgramSettings::setKey, &ProgramSettings::keyChanged);
    edit(OVPFAD, settings.folderText(), &ProgramSettings::setFolderText, &ProgramSettings::folderTextChanged);
    const auto check = [this](QCheckBox *c, bool value, void (ProgramSettings::*set)(bool),
                              void (ProgramSettings::*changed)(bool)) {
        c->setChecked(value);
        connect(c, &QCheckBox::toggled, &m_core.settings(), set);
        connect(&m_core.settings(), changed, c, &QCheckBox::setChecked);
    };
    check(OVBUBBLE, settings.balloons(), &ProgramSettings::setBalloons, &ProgramSettings::balloonsChanged);
    check(OVMINI, settings.startMinimized(), &ProgramSettings::setStartMinimized,
          &ProgramSettings::startMinimizedChanged);
    check(OVOFFLINE, settings.offline(), &ProgramSettings::setOffline, &ProgramSettings::offlineChanged);
    // "Autostart" goes to the model in OVAUTOClick.
    OVAUTO->setChecked(settings.autostart());
    connect(&settings, &ProgramSettings::autostartChanged, OVAUTO, &QCheckBox::setChecked);
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

bool SettingsPanel::connectButtonShowsDisconnect() const {
    return ovconnectbtn->text() == AppTexts::kDisconnect;
}

void SettingsPanel::setConnectButtonConnected(bool connected) {
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

void SettingsPanel::OVIPExit() {
    m_store.takeHost();
}

void SettingsPanel::OVPORTExit() {
    m_store.takeGatewayPort();
}

void SettingsPanel::OVMPORTExit() {
    m_store.takeWebPort();
}

void SettingsPanel::OVKEYExit() {
    m_store.takeKey();
}

void SettingsPanel::OVPFADExit() {
    m_store.takeFolder();
}

void SettingsPanel::OVAUTOClick(bool checked) {
    m_core.settings().setAutostart(checked);
}

void SettingsPanel::menuladenClick() {
    m_core.subsystems().reload(m_core.settings().configurationFolder());
}

void SettingsPanel::browseFolder() {
    const QString chosen = QFileDialog::getExistingDirectory(this, AppTexts::kFolderChooser, OVPFAD->text());
    if (chosen.isEmpty())
        return;
    OVPFAD->setText(Settings::configurationFolder(QDir::toNativeSeparators(chosen), m_core.paths().programFolder()));
    // Stored when the edit is left, as if the path had been typed.
    OVPFAD->setFocus(Qt::OtherFocusReason);
}
