// libFuzzer target: the saver-file description over arbitrary file bytes.
#include <cstdio>
#include <cstdlib>

#include "fuzz/fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string fault = CheckSaverFileInput(data, size);
    if (!fault.empty()) {
        std::fprintf(stderr, "saver file: %s\n", fault.c_str());
        std::abort();
    }
    return 0;
}
