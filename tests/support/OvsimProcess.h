#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// Starts the Orvanel simulator as a real process on free loopback ports and stops it again.
class OvsimProcess {
public:
    struct Options {
        QString key = QStringLiteral("demo");
        QString catalogue; // empty: the bundled demo catalogue
        QStringList extraArguments;
    };

    OvsimProcess();
    explicit OvsimProcess(Options options);
    ~OvsimProcess();
    OvsimProcess(const OvsimProcess &) = delete;
    OvsimProcess &operator=(const OvsimProcess &) = delete;

    // Starts it and waits for the line that names its ports; false when it did not come up.
    bool start();
    void stop();
    // Whether the simulator process is still alive (a crash shows here).
    bool isRunning() const { return m_process.state() == QProcess::Running; }

    quint16 gatewayPort() const { return m_gatewayPort; }
    quint16 webPort() const { return m_webPort; }
    const QString &key() const { return m_options.key; }
    // "http://127.0.0.1:PORT/ovcl?sys/cobjects.xml"
    QString catalogueUrl() const;
    // Sets a value as another client of the gateway would ("1|GAN|value"); the simulator then
    // reports it to every connected client. Blocks the test briefly; false on failure.
    bool setValue(const QString &gan, const QString &value);

private:
    Options m_options;
    QProcess m_process;
    quint16 m_gatewayPort = 0;
    quint16 m_webPort = 0;
};
