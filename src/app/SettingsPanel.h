#pragma once

#include "Settings.h"

#include <QWidget>
#include <functional>

class AppCore;
class IniFile;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// `OVKONFIG`: the settings of the connection and the program. The edits are the current settings:
// the link, the catalogue fetch and the user files take their texts at the moment of use. Each
// edit stores its key when it loses the focus; writeSettings() stores all keys at once.
class SettingsPanel : public QWidget {
    Q_OBJECT
public:
    explicit SettingsPanel(AppCore &core, QWidget *parent = nullptr);

    // Shows the values read at start-up. A check box set from the file changes state like a
    // click, so ticking "Autostart" writes the autostart entry anew.
    void applySettings(const Settings::Values &values);
    // The first half of save_blist: every key of [Orvanel] in the program's order. A port edit
    // that holds no whole number shows its error and keeps the last valid number for its key.
    // False when the file could not be written (the error box names it).
    bool writeSettings();

    // The configuration folder the edit names, ending in its separator; the user files' names are
    // appended to it.
    QString configurationFolder() const;
    // The server's web port as typed in `OVMPORT`.
    QString webPortText() const;

    // The connect button's two looks: "disconnect" with system image 14, or "connect" with 8.
    void setConnectButtonConnected(bool connected);
    bool connectButtonShowsDisconnect() const { return m_connectShowsDisconnect; }

    // The texts and ticks the link takes at the moment of use.
    QString gatewayKey() const;
    QString gatewayHost() const;
    QString gatewayPortText() const;
    bool offline() const;
    // "Balloon ges.": balloons on value changes appear only while it is ticked.
    bool balloonsEnabled() const;
    // "minimiert starten".
    bool startMinimized() const;
    // The small `online` indicator beside the connect button.
    void setOnlineIndicatorVisible(bool visible);
    // The indicator's accessible name says the link's state ("online" or "offline").
    void setOnlineIndicatorName(bool online);
    // Puts the focus into "IP Adresse des OV/OW:", where a new user starts.
    void focusAddress();

public slots:
    void OVIPExit();
    void OVPORTExit();
    void OVMPORTExit();
    void OVKEYExit();
    void OVPFADExit();
    void OVAUTOClick(bool checked);
    void menuladenClick();

signals:
    // The gateway link follows the address and port read at start-up and left in their edits.
    void gatewayHostChanged(const QString &host);
    void gatewayPortChanged(int port);
    // `ovconnectbtn` was pressed.
    void connectButtonClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void browseFolder();
    // Reads the file, applies change, writes it back readable by the user only; error box on failure.
    bool store(const std::function<void(IniFile &)> &change);
    bool storeOne(const QString &key, const QString &value);
    // The edit's whole number, or its error box and nothing.
    std::optional<int> convert(const QLineEdit *edit);
    // Takes the folder the edit names as the configuration folder, ending in its separator; one
    // the settings file cannot hold gets its error box and the edit shows the previous folder.
    bool takeFolder();

    AppCore &m_core;
    QString m_folder; // the configuration folder last taken, as the edit shows it
    // Each widget's objectName is its member name, so tests find it with findChild.
    QLineEdit *OVIP = nullptr;
    QLineEdit *OVMPORT = nullptr;
    QLineEdit *OVPORT = nullptr;
    QLineEdit *OVKEY = nullptr;
    QCheckBox *OVBUBBLE = nullptr;
    QCheckBox *OVMINI = nullptr;
    QCheckBox *OVAUTO = nullptr;
    QPushButton *ovconnectbtn = nullptr;
    QCheckBox *OVOFFLINE = nullptr;
    QLineEdit *OVPFAD = nullptr;
    QToolButton *OVPFADbrowse = nullptr;
    QPushButton *menuladen = nullptr;
    QLabel *OV3 = nullptr;
    QLabel *online = nullptr;
    int m_lastPort = 0;
    int m_lastTcpPort = 0;
    bool m_connectShowsDisconnect = false;
};
