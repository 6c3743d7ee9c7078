#pragma once

// One draw from the process-wide generator: an integer from 0 to 32767. The
// runner seeds it from the clock with srand.
int drawRandom();
