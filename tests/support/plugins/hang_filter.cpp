// Test plug-in: a filter that scribbles on the destination and then never returns nor
// reports again.
#include "../../../src/plugins/QuiltaraFilter.h"

#include <unistd.h>

namespace {
const QuiltaraFilterInfo kFilters[] = {{"Test", "Hang"}};
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
                                             const QuiltaraFilterHost*) {
    dst->pixels[0] = 0x12345678u;
    for (;;) pause();
    return 0;
}
}
