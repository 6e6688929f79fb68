#pragma once

// A large tree let go leaves its pages with the allocator, spread over the arenas of the threads
// that built and freed it; the next load takes fresh ones, and every reload grows the program.
// This hands the free pages back to the system (implemented per operating system).
namespace FreedMemory {
void returnToSystem();
} // namespace FreedMemory
