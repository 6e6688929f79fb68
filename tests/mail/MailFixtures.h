#pragma once

#include "AnsiText.h"
#include "MailAccount.h"

#include <QByteArray>
#include <QHostAddress>
#include <QStringList>
#include <QTcpSocket>

inline MailAccount account(const QString &name, quint16 port, const QString &login, const QString &password,
                           const QString &countGan) {
    MailAccount a;
    a.name = name;
    a.host = QStringLiteral("127.0.0.1");
    a.port = QString::number(port);
    a.fetchFlag = QStringLiteral("-1");
    a.balloonFlag = QStringLiteral("0");
    a.login = login;
    a.password = password;
    a.countGan = countGan;
    return a;
}

// Slot s (from 1) of an account bound to the GANs prefix + "1s", "2s", "3s".
inline void bindAll(MailAccount &a, const QString &prefix) {
    for (int s = 1; s <= kMailSlotCount; ++s) {
        MailSlot &slot = a.mailSlots[static_cast<size_t>(s - 1)];
        slot.senderGan = prefix + u'1' + QString::number(s);
        slot.subjectGan = prefix + u'2' + QString::number(s);
        slot.dateGan = prefix + u'3' + QString::number(s);
    }
}

// A message as a mailbox holds it: the header lines, an empty line and a short body, CR LF ends.
inline QByteArray mailMessage(const QList<QByteArray> &headerLines, const QByteArray &body = "Hallo.") {
    QByteArray message;
    for (const QByteArray &line : headerLines)
        message += line + "\r\n";
    return message + "\r\n" + body + "\r\n";
}

// A second client of the simulator's gateway: the simulator reports every value set by any
// client to all of them as "2|GAN|value", so this sees exactly what reached the simulator.
class GatewayObserver {
public:
    bool connectTo(quint16 port, const QString &key) {
        m_socket.connectToHost(QHostAddress::LocalHost, port);
        if (!m_socket.waitForConnected(5000))
            return false;
        m_socket.write(AnsiText::encode(key) + '\0');
        return m_socket.waitForBytesWritten(5000);
    }
    // Sets a value like any client; the simulator reports it back to every client, this one included.
    bool send(const QString &line) {
        m_socket.write(AnsiText::encode(line) + '\0');
        return m_socket.waitForBytesWritten(5000);
    }
    // Every line received so far whose GAN starts with the prefix, in the order received.
    QStringList lines(const QString &ganPrefix) {
        m_buffer += m_socket.readAll();
        qsizetype end;
        while ((end = m_buffer.indexOf('\0')) >= 0) {
            m_lines.append(AnsiText::decode(m_buffer.left(end)));
            m_buffer.remove(0, end + 1);
        }
        QStringList matching;
        for (const QString &line : std::as_const(m_lines))
            if (line.section(u'|', 1, 1).startsWith(ganPrefix))
                matching.append(line);
        return matching;
    }

private:
    QTcpSocket m_socket;
    QByteArray m_buffer;
    QStringList m_lines;
};
