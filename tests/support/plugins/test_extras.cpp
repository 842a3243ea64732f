// Test Extras, one library per behaviour chosen at build time:
// QUILTARA_TEST_EXTRA_CRASH crashes in StartPlugin, QUILTARA_TEST_EXTRA_NONAME lacks
// GetNameA, QUILTARA_TEST_EXTRA_NORUN has a name but no StartPlugin.
#include <csignal>
#include <cstdint>

#define EXPORT extern "C" __attribute__((visibility("default")))

#ifndef QUILTARA_TEST_EXTRA_NONAME
EXPORT const char* GetNameA(void) {
#ifdef QUILTARA_TEST_EXTRA_CRASH
    return "Crashing Extra";
#else
    return "Extra Without Start";
#endif
}
#endif

#ifndef QUILTARA_TEST_EXTRA_NORUN
EXPORT int StartPlugin(std::uint32_t* pixels, int, int, void*) {
    pixels[0] = 0;
    std::raise(SIGSEGV);
    return 1;
}
EXPORT std::uint32_t* GetData(int*, int*) {
    return nullptr;
}
#endif
