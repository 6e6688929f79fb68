#pragma once

#include "BrowserHost.h"

#include <QPointer>

class QLabel;
class QWebEngineView;
class GuardedPage;

// The browser host on Qt WebEngine, made by the browser plugin (WebEngineBrowserPlugin). The engine
// starts with the first host, so the program creates one only when the checker needs it. Its view
// is the browser with a line under it for what the user must know about it: that it runs without
// its sandbox (`sandboxNote`), or that the process showing the page ended.
class WebEngineBrowserHost : public BrowserHost {
    Q_OBJECT

public:
    explicit WebEngineBrowserHost(const QString &sandboxNote, QObject *parent = nullptr);
    ~WebEngineBrowserHost() override;

    QWidget *view() override;
    void navigate(const QString &address) override;
    bool isComplete() const override { return m_complete; }
    QUrl currentUrl() const override { return m_current; }

private:
    void loadFinished();

    QPointer<QWidget> m_area;
    QWebEngineView *m_view;
    QLabel *m_pageEnded;
    GuardedPage *m_page = nullptr;
    bool m_complete = true;
    QUrl m_current;
};
