#include "FreedMemory.h"

#include <malloc.h>

void FreedMemory::returnToSystem() {
    // glibc: every arena, not only the main one, gives its free pages back.
    malloc_trim(0);
}
