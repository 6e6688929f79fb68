#include "FreedMemory.h"

#include <malloc.h>

void FreedMemory::returnToSystem() {
    _heapmin();
}
