#pragma once

#include <functional>

class LinkAccess;
class MainWindow;

// The parts of the frame that the subsystems plug into besides the window, and that the start-up
// and the closing sequence drive: the server link and the catalogue fetch. The program's wiring
// builds them; tests put recording fakes in their place.
class FrameParts {
public:
    virtual ~FrameParts() = default;

    // The main window exists, before the subsystems attach: the link and the catalogue fetch
    // attach to it.
    virtual void attach(MainWindow &window) = 0;
    // The link as the subsystems use it.
    virtual LinkAccess &linkAccess() = 0;
    // The first connection, after the user files are loaded. progress moves the splash window's
    // bar; done runs once at its end, whatever the outcome.
    virtual void connectAtStart(std::function<void(int position)> progress, std::function<void()> done) = 0;
    // Gateway polling on, after the first connection whatever its outcome.
    virtual void startPolling() = 0;
    // The closing sequence cuts the link first, before the subsystems close and save.
    virtual void closeLink() = 0;
};
