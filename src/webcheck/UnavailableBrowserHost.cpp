#include "UnavailableBrowserHost.h"

#include "WebCheckTexts.h"

#include <QLabel>

UnavailableBrowserHost::UnavailableBrowserHost(const QString &why, QObject *parent) : BrowserHost(parent) {
    auto *line = new QLabel(WebCheckTexts::kBrowserFehlt.arg(why));
    line->setObjectName(QStringLiteral("browserunavailable"));
    line->setWordWrap(true);
    line->setAlignment(Qt::AlignCenter);
    line->setMargin(12);
    // No control to name: the text itself can be reached and read (and copied) with the keyboard.
    line->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    line->setFocusPolicy(Qt::StrongFocus);
    line->setAccessibleName(line->text());
    m_view = line;
}

UnavailableBrowserHost::~UnavailableBrowserHost() {
    delete m_view;
}

QWidget *UnavailableBrowserHost::view() {
    return m_view;
}

void UnavailableBrowserHost::navigate(const QString &address) {
    m_complete = false;
    emit navigationStarted();
    m_current = addressUrl(address);
    // Later, as a browser completes: the caller may still be setting up what follows the load.
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_complete = true;
            emit documentComplete({});
        },
        Qt::QueuedConnection);
}
