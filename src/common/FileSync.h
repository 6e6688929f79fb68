#pragma once

#include <QString>

// Pushes written bytes through to the disk, so that a file renamed into place after a crash or a
// power cut holds what was written, not nothing.
namespace FileSync {
// The open file's data; false with the system's reason when the disk did not take it.
bool syncHandle(int handle, QString *reason);
// The folder's entries (a rename in it); failures are not reported, the rename itself holds.
void syncFolder(const QString &folder);
} // namespace FileSync
