// The fuzzers' scratch folders in memory where the system has such a folder:
// a fuzzer writes and removes a few files for every input. Built only into
// the fuzzers (POSIX systems), not into the harness library that the tests
// of every platform replay.
#include <cstdlib>
#include <unistd.h>

#include "fuzz/harness.h"

namespace lumora {

void fuzz_prefer_memory_scratch()
{
    if (::access("/dev/shm", W_OK) == 0) {
        ::setenv("TMPDIR", "/dev/shm", 0);
    }
}

}  // namespace lumora
