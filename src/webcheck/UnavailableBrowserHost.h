#pragma once

#include "BrowserHost.h"

#include <QPointer>

// Stands in for the browser when it cannot start here. Its view says why; navigations complete at
// once with the address as given and no frames, so the checker still fetches, analyses, exports and
// checks the page's source (the server fetches the page itself, not through a browser).
class UnavailableBrowserHost : public BrowserHost {
    Q_OBJECT

public:
    // `why` is a German sentence naming the cause.
    explicit UnavailableBrowserHost(const QString &why, QObject *parent = nullptr);
    ~UnavailableBrowserHost() override;

    QWidget *view() override;
    void navigate(const QString &address) override;
    bool isComplete() const override { return m_complete; }
    QUrl currentUrl() const override { return m_current; }

private:
    QPointer<QWidget> m_view;
    bool m_complete = true;
    QUrl m_current;
};
