#pragma once

#include "BrowserHost.h"

#include <QHash>
#include <QPointer>
#include <QWidget>

// Completes every navigation at once with the frames it is given; page-started navigations are
// played with requestNavigation(). Its view is made only when asked for, so a test without widgets
// (a QCoreApplication) can use it.
class FakeBrowserHost : public BrowserHost {
public:
    ~FakeBrowserHost() override { delete m_view; }

    QWidget *view() override {
        if (!m_view)
            m_view = new QWidget;
        return m_view;
    }
    void navigate(const QString &address) override {
        navigations.append(address);
        complete = false;
        emit navigationStarted();
        current = addressUrl(address);
        if (const auto server = servers.find(current.host()); server != servers.end()) {
            current.setHost(server->host());
            current.setPort(server->port());
        }
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

    QStringList navigations;
    QStringList frames;
    // Host names the fake resolves to another server (a loopback one), so a project can name a
    // host of its own.
    QHash<QString, QUrl> servers;
    QUrl current;
    bool complete = true;

private:
    // The view may belong to a layout by now; whoever goes first takes it along.
    QPointer<QWidget> m_view;
};
