// libFuzzer entry for one target, chosen at build time by VELTRANE_FUZZ_TARGET.
#include "FuzzTargets.h"

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    veltrane::fuzz::initEnvironment();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return veltrane::fuzz::VELTRANE_FUZZ_TARGET(data, size);
}
