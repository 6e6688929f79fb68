#pragma once

#include <QString>
#include <optional>

class SingleInstance;

// What a start does about the session's one-program rule: go on as the session's program, or end
// here after handing its wish to the running one, or after saying that the running one hangs.
namespace InstanceStart {
// The exit code of a start that found the running program hung (a second link is not started).
inline constexpr int kRunningProgramHangs = 1;

struct Outcome {
    // Set when this start ends here, with its exit code.
    std::optional<int> exitCode;
    // For the running program's record: the session's rule could not be checked.
    QString note;
};

// Claims the session (needs the application object). A hang is said on stderr and, where someone
// can see it, in a box; a missing session bus on stderr, and the program starts all the same.
Outcome claim(SingleInstance &instance);
} // namespace InstanceStart
