// libFuzzer target: the command-line grammar over arbitrary wide strings.
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string fault = CheckCommandLineInput(data, size);
    if (!fault.empty()) {
        std::fprintf(stderr, "command line: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
