#pragma once

#include "PlatformServices.h"
#include "SingleInstance.h"

#include <memory>

// The platform services of this operating system, owned together. Create it after the
// application object (the tray icon and the boxes are widgets) and keep it until the windows
// that use its services are gone.
class Platform {
public:
    virtual ~Platform() = default;
    // The bundle the application takes; valid while this object lives.
    virtual PlatformServices services() = 0;
};

// Implemented once per operating system, in its folder.
std::unique_ptr<Platform> createPlatform();
// The session's one-program rule; asked before the platform services and the windows exist, so that
// a second start touches nothing. Needs the application object.
std::unique_ptr<SingleInstance> createSingleInstance();
