#include "Subjects.h"

#include <QDir>
#include <QFile>

void BalloonInbox::add(const QString &body) {
    {
        const std::lock_guard lock(m_mutex);
        m_bodies.append(body);
    }
    m_changed.notify_all();
}

bool BalloonInbox::waitFor(const QString &body, std::chrono::milliseconds timeout) {
    std::unique_lock lock(m_mutex);
    return m_changed.wait_for(lock, timeout, [this, &body] { return m_bodies.contains(body); });
}

namespace {
bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile file(path);
    return QDir().mkpath(QFileInfo(path).path()) && file.open(QIODevice::WriteOnly) &&
           file.write(bytes) == bytes.size();
}

QByteArray menuEntry(int k, const QByteArray &caption, const QByteArray &gan, bool balloon) {
    return "[" + QByteArray::number(k * 11) + "]\r\nBezeichnung=" + caption +
           "\r\nSymbol=0\r\nTyp=Schaltaktor (0/1)\r\nAktion=Um\r\nWert=\r\nGAN=" + gan +
           "\r\nLV=0,0\r\nBalloon=" + (balloon ? "True" : "False") + "\r\nMsg=False\r\nSound=False\r\nSoundname=\r\n";
}

class Quendra : public Subject {
public:
    Quendra(QString binary, BalloonInbox &balloons, bool inTray)
        : m_binary(std::move(binary)), m_balloons(balloons), m_inTray(inTray) {}
    QString name() const override { return m_inTray ? u"quendra in the tray"_qs : u"quendra"_qs; }
    QString program() const override { return m_binary; }
    QStringList arguments(quint16) const override { return {}; }
    QString probeService() const override { return u"de.quendra.Quendra"_qs; }
    bool prepare(const QString &home, quint16 gatewayPort) const override {
        const QString folder = home + u"/.config/quendra/"_qs;
        QByteArray menu;
        constexpr int kEntries = 32;
        for (int k = 0; k < kEntries; ++k)
            menu += menuEntry(k, "Licht $3", QByteArray::number(k % 8 == 0 ? 768 : 1000 + k), false);
        menu += menuEntry(kEntries, "Ende", kMarkerNumber, true);
        return writeFile(folder + u"quendra.ini"_qs,
                         "[Orvanel]\r\nIP=127.0.0.1\r\nPort=" + QByteArray::number(gatewayPort) +
                             "\r\nKey=demo\r\nBubble=1\r\n" + (m_inTray ? "Minimized=1\r\n" : "")) &&
               writeFile(folder + u"quendramenu.ini"_qs, menu);
    }
    bool waitForMarker(const QByteArray &value, LoopbackGateway &, std::chrono::milliseconds timeout) override {
        // The balloon shows the entry's caption with the value in the decimal comma form.
        return m_balloons.waitFor(u"Ende "_qs + QString::fromLatin1(value).replace(u'.', u','), timeout);
    }
    bool keptMarker(const QString &home, const QByteArray &value) const override {
        QFile file(home + u"/.config/quendra/quendramenu.ini"_qs);
        if (!file.open(QIODevice::ReadOnly))
            return false;
        const QByteArray text = file.readAll();
        const qsizetype at = text.indexOf("GAN=" + kMarkerNumber + "\r\n");
        return at >= 0 && text.mid(at).split('\n').value(1).trimmed() == "LV=" + QByteArray(value).replace('.', ',');
    }

private:
    QString m_binary;
    BalloonInbox &m_balloons;
    bool m_inTray;
};

class BareTray : public Subject {
public:
    BareTray(QString binary, QString name, bool restOnly)
        : m_binary(std::move(binary)), m_name(std::move(name)), m_restOnly(restOnly) {}
    QString name() const override { return m_name; }
    QString program() const override { return m_binary; }
    QStringList arguments(quint16 gatewayPort) const override {
        return {u"127.0.0.1"_qs, QString::number(gatewayPort), u"--probe"_qs};
    }
    QString probeService() const override { return u"de.quendra.BareTray"_qs; }
    bool prepare(const QString &, quint16) const override { return true; }
    bool waitForMarker(const QByteArray &value, LoopbackGateway &gateway, std::chrono::milliseconds timeout) override {
        return gateway.waitForLine("ok|" + value, timeout);
    }
    bool keptMarker(const QString &, const QByteArray &) const override { return true; }
    bool restOnly() const override { return m_restOnly; }

private:
    QString m_binary;
    QString m_name;
    bool m_restOnly;
};
} // namespace

std::unique_ptr<Subject> quendraSubject(const QString &binary, BalloonInbox &balloons, bool inTray) {
    return std::make_unique<Quendra>(binary, balloons, inTray);
}

std::unique_ptr<Subject> bareTraySubject(const QString &binary, const QString &name, bool restOnly) {
    return std::make_unique<BareTray>(binary, name, restOnly);
}
