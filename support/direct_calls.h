// The Windows function the installer calls itself, bound at its first call. When a library or function cannot be found, the run-time error
// report names them and the process ends.
#pragma once

#include "support/text.h"

// Entry 0: the temporary folder. `buffer` is the buffer as passed in (its
// bytes are overwritten by the path and a terminating zero byte when it
// fits); `bufferLength` is the length given to the function. The result is
// the function's: the path's length without the terminator, the length it
// needs when the buffer is too small, or 0 when the call failed.
unsigned CallGetTempPath(unsigned bufferLength, ByteArray& buffer);
