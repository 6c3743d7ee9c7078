#include "lib/random.h"

#include <cstdlib>

// glibc's rand() yields 31 bits; its low 15 give the same range as a 15-bit
// generator's draw.
int drawRandom() {
    return std::rand() & 0x7fff;
}
