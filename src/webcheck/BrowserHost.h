#pragma once

#include <QObject>
#include <QStringList>
#include <QUrl>
#include <functional>
#include <memory>

class QWidget;

// The embedded browser: navigation, ready state, the check before every navigation, progress and
// the completed document with its frames. The program's own navigations are checked by the caller
// before navigate(); navigations the page starts itself (a clicked link, a script) pass the guard.
class BrowserHost : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

    // The browser's widget, owned by the host until a layout takes it.
    virtual QWidget *view() = 0;
    // Goes to the address at once; an address without scheme is taken as "http://" + address.
    virtual void navigate(const QString &address) = 0;
    // The ready state: true when no document is loading.
    virtual bool isComplete() const = 0;
    // The address of the current document (the top document last completed).
    virtual QUrl currentUrl() const = 0;
    // Asked before a navigation the page starts in the top document; when it answers true the
    // navigation is held back and navigationHeld() tells where it wanted to go.
    void setNavigationGuard(std::function<bool()> mustAsk) { m_mustAsk = std::move(mustAsk); }

    // The address as the browser is given it.
    static QUrl addressUrl(const QString &address);

signals:
    void navigationHeld(const QUrl &url);
    // A navigation proceeds: the current document is about to change.
    void navigationStarted();
    void loadProgress(int percent);
    // A document has completed; `frames` are the addresses of its frames, depth first, as
    // absolute URLs (the top document's own address not among them).
    void documentComplete(const QStringList &frames);

protected:
    bool mustAsk() const { return m_mustAsk && m_mustAsk(); }

private:
    std::function<bool()> m_mustAsk;
};

// Makes the browser when it is first needed; tests give one that needs no browser engine.
using BrowserFactory = std::function<std::unique_ptr<BrowserHost>()>;
