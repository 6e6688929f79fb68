#include "WebEngineBrowserHost.h"

#include "WebCheckTexts.h"

#include <QLabel>
#include <QVBoxLayout>
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

// A line under the browser, read by screen readers as a description of the browser.
QLabel *noteLine(const char *name, const QString &text, QWidget *browser) {
    auto *line = new QLabel(text);
    line->setObjectName(QLatin1String(name));
    line->setWordWrap(true);
    line->setBuddy(browser);
    line->setAccessibleName(text);
    line->setVisible(!text.isEmpty());
    return line;
}
} // namespace

WebEngineBrowserHost::WebEngineBrowserHost(const QString &sandboxNote, QObject *parent)
    : BrowserHost(parent), m_area(new QWidget), m_view(new QWebEngineView) {
    m_page = new GuardedPage(*this, [this] { return mustAsk(); });
    m_view->setPage(m_page);
    m_pageEnded = noteLine("pageended", {}, m_view);
    auto *layout = new QVBoxLayout(m_area);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view, 1);
    layout->addWidget(m_pageEnded);
    layout->addWidget(noteLine("sandboxnote", sandboxNote, m_view));
    connect(m_page, &QWebEnginePage::loadStarted, this, [this] {
        m_complete = false;
        m_pageEnded->hide();
    });
    connect(m_page, &QWebEnginePage::loadProgress, this, &BrowserHost::loadProgress);
    connect(m_page, &QWebEnginePage::loadFinished, this, &WebEngineBrowserHost::loadFinished);
    // A page process that crashed or was killed leaves an empty area; the line says what happened.
    connect(m_page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int code) {
                if (status == QWebEnginePage::NormalTerminationStatus)
                    return;
                m_pageEnded->setText(WebCheckTexts::kSeiteBeendet.arg(code));
                m_pageEnded->setAccessibleName(m_pageEnded->text());
                m_pageEnded->show();
            });
}

WebEngineBrowserHost::~WebEngineBrowserHost() {
    // The area may belong to a layout by now; it goes first with the view, then the page it showed.
    delete m_area;
    delete m_page;
}

QWidget *WebEngineBrowserHost::view() {
    return m_area;
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
