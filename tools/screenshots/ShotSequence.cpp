#include "ShotSequence.h"

#include <QGuiApplication>
#include <QImageWriter>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace {
constexpr int kTickMs = 50;
}

ShotSequence::ShotSequence(const QString &outputFolder, int timeoutMs, QObject *parent)
    : QObject(parent), m_output(outputFolder), m_timeoutMs(timeoutMs) {
    m_timer.setInterval(kTickMs);
    connect(&m_timer, &QTimer::timeout, this, &ShotSequence::tick);
}

void ShotSequence::step(const QString &what, Condition ready, Action act) {
    m_steps.push_back({what, std::move(ready), std::move(act)});
}

void ShotSequence::step(const QString &what, Action act) {
    step(
        what, [] { return true; }, std::move(act));
}

void ShotSequence::start() {
    m_timer.start();
}

void ShotSequence::tick() {
    if (m_next >= m_steps.size()) {
        m_timer.stop();
        emit finished(!m_failed);
        return;
    }
    Step &current = m_steps[m_next];
    if (!current.ready()) {
        m_waitedMs += kTickMs;
        if (m_waitedMs > m_timeoutMs)
            fail(QStringLiteral("no %1 within %2 s").arg(current.what).arg(m_timeoutMs / 1000));
        return;
    }
    m_waitedMs = 0;
    ++m_next;
    qInfo("screenshots: %s", qPrintable(current.what));
    current.act();
}

void ShotSequence::fail(const QString &why) {
    qCritical("screenshots: %s", qPrintable(why));
    m_failed = true;
    m_next = m_steps.size();
}

bool ShotSequence::save(const QString &name, const QPixmap &picture) {
    QImageWriter writer(m_output.filePath(name), "png");
    // The strongest compression: the pictures are kept in the repository.
    writer.setQuality(0);
    if (picture.isNull() || !writer.write(picture.toImage())) {
        fail(QStringLiteral("cannot write %1: %2").arg(writer.fileName(), writer.errorString()));
        return false;
    }
    qInfo("screenshots: wrote %s", qPrintable(writer.fileName()));
    return true;
}

bool ShotSequence::grab(const QString &name, QWidget *window) {
    if (!window) {
        fail(QStringLiteral("no window for %1").arg(name));
        return false;
    }
    return save(name, window->grab());
}

bool ShotSequence::grabScreen(const QString &name, const QList<QWidget *> &widgets) {
    QRect area;
    QRegion covered;
    for (QWidget *w : widgets) {
        w->repaint(); // on screen now, before the screen is read
        area |= w->frameGeometry();
        covered += w->frameGeometry();
    }
    QScreen *screen = QGuiApplication::primaryScreen();
    QPixmap picture = screen->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    // What lies beside the widgets is the empty screen: the picture shows the window's colour there.
    QPainter painter(&picture);
    painter.setClipRegion(QRegion(picture.rect()) - covered.translated(-area.topLeft()));
    painter.fillRect(picture.rect(), widgets.first()->palette().color(QPalette::Window));
    painter.end();
    return save(name, picture);
}
