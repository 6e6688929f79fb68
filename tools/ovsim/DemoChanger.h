#pragma once

#include <QObject>
#include <QTimer>

class ObjectStore;

// Makes the demo look alive: every interval the living-room temperature drifts, the bathroom
// window opens or closes and the message object gets a new hex text. Objects the catalogue
// lacks are left alone.
class DemoChanger : public QObject {
    Q_OBJECT

public:
    static constexpr quint32 kTemperatureGan = 1280;
    static constexpr quint32 kWindowGan = 1025;
    static constexpr quint32 kMessageGan = 70001;

    DemoChanger(ObjectStore &store, int intervalMs, QObject *parent = nullptr);

private:
    void change();

    ObjectStore &m_store;
    QTimer m_timer;
    // The temperature stays within a few degrees of where it started.
    double m_baseTemperature = 0;
    int m_messageCount = 0;
};
