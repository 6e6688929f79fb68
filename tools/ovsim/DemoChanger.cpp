#include "DemoChanger.h"

#include "AnsiText.h"
#include "Log.h"
#include "ObjectStore.h"

#include <QRandomGenerator>
#include <QTime>
#include <cmath>

namespace {
constexpr double kMaxDrift = 3.0;
}

DemoChanger::DemoChanger(ObjectStore &store, int intervalMs, QObject *parent) : QObject(parent), m_store(store) {
    m_baseTemperature = ObjectStore::parseNumber(m_store.value(kTemperatureGan).value_or("20")).value_or(20);
    connect(&m_timer, &QTimer::timeout, this, &DemoChanger::change);
    m_timer.start(intervalMs);
}

void DemoChanger::change() {
    QStringList changes;
    if (const auto current = m_store.value(kTemperatureGan)) {
        const double now = ObjectStore::parseNumber(*current).value_or(m_baseTemperature);
        // A step of 0.1 to 0.3 degrees, turned back when it would leave the band.
        const int tenths =
            QRandomGenerator::global()->bounded(1, 4) * (QRandomGenerator::global()->bounded(2) ? 1 : -1);
        double next = now + tenths / 10.0;
        if (std::abs(next - m_baseTemperature) > kMaxDrift)
            next = now - tenths / 10.0;
        m_store.set(kTemperatureGan, ObjectStore::formatNumber(std::round(next * 10) / 10));
        changes
            << QStringLiteral("%1 = %2").arg(kTemperatureGan).arg(QString::fromLatin1(*m_store.value(kTemperatureGan)));
    }
    if (const auto current = m_store.value(kWindowGan)) {
        m_store.set(kWindowGan, *current == "1.0" ? "0" : "1");
        changes << QStringLiteral("%1 = %2").arg(kWindowGan).arg(QString::fromLatin1(*m_store.value(kWindowGan)));
    }
    if (m_store.contains(kMessageGan)) {
        const QString text =
            QStringLiteral("Grüße Nr. %1 um %2").arg(++m_messageCount).arg(QTime::currentTime().toString(u"HH:mm:ss"));
        m_store.set(kMessageGan, AnsiText::encode(text).toHex().toUpper());
        changes << QStringLiteral("%1 = \"%2\"").arg(kMessageGan).arg(text);
    }
    if (!changes.isEmpty())
        logEvent(u"demo "_qs + changes.join(u", "_qs));
}
