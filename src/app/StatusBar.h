#pragma once

#include <QStatusBar>
#include <array>

class QLabel;

// `StatusBar1`: two panels of 224 and 200 pixels; panel 0 carries the connection and catalogue texts.
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(QWidget *parent = nullptr);
    void setPanelText(int panel, const QString &text);
    QString panelText(int panel) const;

private:
    std::array<QLabel *, 2> m_panels{};
};
