#include "FileSync.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace FileSync {
bool syncHandle(int handle, QString *reason) {
    if (handle < 0 || ::fsync(handle) == 0)
        return true;
    if (reason)
        *reason = QString::fromLocal8Bit(std::strerror(errno));
    return false;
}

void syncFolder(const QString &folder) {
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}
} // namespace FileSync
