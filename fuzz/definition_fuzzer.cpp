// libFuzzer entry of the definition harness (see fuzz/harness.h).
#include <cstdio>
#include <cstdlib>

#include "fuzz/harness.h"

using namespace lumora;

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz_prefer_memory_scratch();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (const char* problem = fuzz_definition_input(data, size)) {
        std::fprintf(stderr, "fuzz_definition_input: %s\n", problem);
        std::abort();
    }
    return 0;
}
