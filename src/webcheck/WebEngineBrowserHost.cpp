#include "WebEngineBrowserHost.h"

#include <QWebEnginePage>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <utility>

// Holds back navigations the page starts in its top document while the host's guard wants them
// asked about first. The program's own navigation (already checked), frames loading inside the
// document and redirects of a navigation already allowed pass.
class GuardedPage : public QWebEnginePage {
public:
    GuardedPage(WebEngineBrowserHost &host, std::function<bool()> mustAsk)
        : QWebEnginePage(&host), m_host(host), m_mustAsk(std::move(mustAsk)) {}

    void loadChecked(const QUrl &url) {
        m_checked = true;
        load(url);
    }

    bool acceptNavigationRequest(const QUrl &url, NavigationType type, bool isMainFrame) override {
        if (!isMainFrame || type == NavigationTypeRedirect)
            return true;
        if (!std::exchange(m_checked, false) && m_mustAsk()) {
            emit m_host.navigationHeld(url);
            return false;
        }
        emit m_host.navigationStarted();
        return true;
    }

private:
    WebEngineBrowserHost &m_host;
    std::function<bool()> m_mustAsk;
    bool m_checked = false;
};

namespace {
// The frames of a document and of the documents in its frames, depth first, at most 1000. A frame
// from another origin gives its address but not its own frames (the page may not look into it).
// It runs in a world of its own, so the page's scripts cannot change what it sees.
const QString kFramesScript = QStringLiteral(R"(
(function () {
    var found = [];
    function walk(doc) {
        var frames = doc.querySelectorAll('frame, iframe');
        for (var i = 0; i < frames.length && found.length < 1000; ++i) {
            var inner = null, address = frames[i].src;
            try {
                inner = frames[i].contentDocument;
                if (inner && frames[i].contentWindow.location.href !== 'about:blank')
                    address = frames[i].contentWindow.location.href;
            } catch (e) { inner = null; }
            found.push(address);
            if (inner)
                walk(inner);
        }
    }
    walk(document);
    return found;
})())");
} // namespace

WebEngineBrowserHost::WebEngineBrowserHost(QObject *parent) : BrowserHost(parent), m_view(new QWebEngineView) {
    m_page = new GuardedPage(*this, [this] { return mustAsk(); });
    m_view->setPage(m_page);
    connect(m_page, &QWebEnginePage::loadStarted, this, [this] { m_complete = false; });
    connect(m_page, &QWebEnginePage::loadProgress, this, &BrowserHost::loadProgress);
    connect(m_page, &QWebEnginePage::loadFinished, this, &WebEngineBrowserHost::loadFinished);
}

WebEngineBrowserHost::~WebEngineBrowserHost() {
    // The view may belong to a layout by now; it goes first, then the page it showed.
    delete m_view;
    delete m_page;
}

QWidget *WebEngineBrowserHost::view() {
    return m_view;
}

void WebEngineBrowserHost::navigate(const QString &address) {
    m_complete = false;
    m_page->loadChecked(addressUrl(address));
}

void WebEngineBrowserHost::loadFinished() {
    const QUrl url = m_page->url();
    m_page->runJavaScript(kFramesScript, QWebEngineScript::ApplicationWorld, [this, url](const QVariant &result) {
        m_current = url;
        m_complete = true;
        emit documentComplete(result.toStringList());
    });
}
