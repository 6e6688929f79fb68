#pragma once

#include "ConsoleWindow.h"
#include "Subsystem.h"

#include <QPointer>
#include <memory>

class ConsoleSession;

// The console in the program: `TForm3` ("Quendra Tools"), opened from the menu bar's "Console",
// sending its lines through the gateway link and looking objects up in the catalogue's copy.
class ConsoleWiring : public Subsystem {
public:
    ConsoleWiring();
    ~ConsoleWiring() override;

    // Present once the start-up is over.
    ConsoleWindow *window() const { return m_window; }

    void attach(Frame &frame) override;
    // The window is created hidden, with the session.
    void started() override;
    void close() override;

private:
    void consoleClick();

    Frame *m_frame = nullptr;
    std::unique_ptr<ConsoleSession> m_session;
    QPointer<ConsoleWindow> m_window; // owned by the main window
};
