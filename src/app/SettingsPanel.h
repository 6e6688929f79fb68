#pragma once

#include <QWidget>

class AppCore;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class SettingsStore;

// `OVKONFIG`: the settings of the connection and the program. It shows the settings model and edits
// it as the user types and ticks, so the link, the catalogue fetch and the user files take the texts
// at the moment of use. Each edit stores its key through the settings store when it loses the focus.
class SettingsPanel : public QWidget {
    Q_OBJECT
public:
    // The core and the store must outlive the panel.
    SettingsPanel(AppCore &core, SettingsStore &store, QWidget *parent = nullptr);

    // The connect button's two looks: "disconnect" with system image 14, or "connect" with 8. The
    // link controller keeps which one is due; the panel only shows it.
    void setConnectButtonConnected(bool connected);
    bool connectButtonShowsDisconnect() const;

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
    // `ovconnectbtn` was pressed.
    void connectButtonClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildLayout();
    void bindToSettings();
    void browseFolder();

    AppCore &m_core;
    SettingsStore &m_store;
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
};
