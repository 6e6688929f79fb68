#pragma once

#include "TrayIcon.h"

#include <QIcon>
#include <QList>

// Records what the program does with the tray icon; a test plays the user's double click.
class FakeTrayIcon : public TrayIcon {
    Q_OBJECT
public:
    struct Balloon {
        QString title;
        QString text;
        int timeoutMs = 0;
    };

    explicit FakeTrayIcon(QObject *parent = nullptr) : TrayIcon(parent) {}

    bool isAvailable() const override { return available; }
    void show() override { shown = true; }
    void hide() override { shown = false; }
    void setIcon(const QIcon &i) override { icon = i; }
    void setHint(const QString &text) override { m_hint = text; }
    QString hint() const override { return m_hint; }
    void setPopup(QMenu *menu) override { popup = menu; }
    void showBalloon(const QString &title, const QString &text, int timeoutMs) override {
        balloons.append({title, text, timeoutMs});
    }

    void doubleClick() { emit doubleClicked(); }
    void activate() { emit activated(); }
    void clickBalloon() { emit balloonClicked(); }
    // The desktop's panel starts or ends while the program runs.
    void changeAvailability(bool now) {
        available = now;
        emit availabilityChanged(now);
    }
    void changeBalloonsAvailability(bool now, const QString &reason = {}) {
        emit balloonsAvailableChanged(now, reason);
    }

    // Whether the desktop offers a tray; a headless desktop has none.
    bool available = true;
    bool shown = false;
    QMenu *popup = nullptr;
    QIcon icon;
    QList<Balloon> balloons;

private:
    QString m_hint;
};
