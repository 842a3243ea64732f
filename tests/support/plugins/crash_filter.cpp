// Test plug-in: a filter that crashes half way through, after writing into the shared
// destination, to show that the program's picture stays as it was.
#include "../../../src/plugins/QuiltaraFilter.h"

#include <csignal>

namespace {
const QuiltaraFilterInfo kFilters[] = {{"Test", "Crash"}};
}

extern "C" {
QUILTARA_FILTER_EXPORT int QuiltaraFilterApi(void) {
    return QUILTARA_FILTER_API;
}
QUILTARA_FILTER_EXPORT const QuiltaraFilterInfo* QuiltaraFilterList(int* count) {
    *count = 1;
    return kFilters;
}
QUILTARA_FILTER_EXPORT int QuiltaraFilterRun(int, const QuiltaraImage*, QuiltaraImage* dst,
                                             const QuiltaraFilterHost* host) {
    for (int y = 0; y < dst->height / 2; ++y)
        for (int x = 0; x < dst->width; ++x) dst->pixels[(long)y * dst->pitch + x] = 0xFFFF00FFu;
    if (host->progress) host->progress(host->context, 1, 2);
    std::raise(SIGSEGV);
    return 0;
}
}
