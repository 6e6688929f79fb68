#include "AppCore.h"

AppCore::AppCore(ProgramPaths paths, PlatformServices services, QString helpFile)
    : m_paths(std::move(paths)), m_services(services), m_helpFile(std::move(helpFile)) {
}
