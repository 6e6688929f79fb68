#pragma once

#include "BrowserHost.h"

#include <QPointer>

class QWebEngineView;
class GuardedPage;

// The browser host on Qt WebEngine. The engine starts with the first host, so the program
// creates one only when the checker opens.
class WebEngineBrowserHost : public BrowserHost {
    Q_OBJECT

public:
    explicit WebEngineBrowserHost(QObject *parent = nullptr);
    ~WebEngineBrowserHost() override;

    QWidget *view() override;
    void navigate(const QString &address) override;
    bool isComplete() const override { return m_complete; }
    QUrl currentUrl() const override { return m_current; }

private:
    void loadFinished();

    QPointer<QWebEngineView> m_view;
    GuardedPage *m_page = nullptr;
    bool m_complete = true;
    QUrl m_current;
};
