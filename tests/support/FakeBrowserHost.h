#pragma once

#include "BrowserHost.h"

#include <QWidget>

// Completes every navigation at once with the frames it is given; page-started navigations are
// played with requestNavigation().
class FakeBrowserHost : public BrowserHost {
public:
    QWidget *view() override { return &widget; }
    void navigate(const QString &address) override {
        navigations.append(address);
        complete = false;
        emit navigationStarted();
        current = addressUrl(address);
        QMetaObject::invokeMethod(
            this,
            [this] {
                complete = true;
                emit documentComplete(frames);
            },
            Qt::QueuedConnection);
    }
    bool isComplete() const override { return complete; }
    QUrl currentUrl() const override { return current; }

    // A link clicked inside the page.
    void requestNavigation(const QString &url) {
        if (mustAsk())
            emit navigationHeld(QUrl(url));
        else
            navigate(url);
    }

    QWidget widget;
    QStringList navigations;
    QStringList frames;
    QUrl current;
    bool complete = true;
};
