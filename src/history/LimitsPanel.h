#pragma once

#include <QGroupBox>

class History;
class QPushButton;
class QSpinBox;

// "Aufbewahrung": how many days and megabytes the history keeps. The numbers take effect with
// "Übernehmen" only, so that typing "30" never passes through "3".
class LimitsPanel : public QGroupBox {
    Q_OBJECT
public:
    LimitsPanel(History &history, QWidget *parent = nullptr);

private:
    History &m_history;
    QSpinBox *keepDays;
    QSpinBox *keepMegabytes;
    QPushButton *applyLimits;
};
