#pragma once

#include "BrowserHost.h"
#include "Subsystem.h"
#include "WebCheckWindow.h"

#include <QPointer>

// The web-query checker in the program: `TForm4`, opened modally from the menu bar's "Webchecker",
// with its projects, templates and import files in the program folder. Its browser engine starts
// when it is first shown.
class WebCheckWiring : public Subsystem {
public:
    static inline const QString kMenuBarCaption = QStringLiteral("Webchecker");
    static inline const QString kMenuBarHint = QStringLiteral("OV Struktur muss geladen sein");

    // browsers: the checker's browser, read when the window is created (empty: Qt WebEngine); it
    // must outlive this object.
    explicit WebCheckWiring(const BrowserFactory &browsers);

    // Present once the start-up is over.
    WebCheckWindow *window() const { return m_window; }

    void attach(Frame &frame) override;
    // What a program killed in the middle of a save left beside the checker's files.
    void load(const QString &folder) override;
    // The window is created hidden.
    void started() override;
    void close() override;

private:
    const BrowserFactory &m_browsers;
    Frame *m_frame = nullptr;
    QPointer<WebCheckWindow> m_window; // owned by the main window
};
