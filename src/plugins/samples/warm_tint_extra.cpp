// Sample Extra: warms the picture in place (more red, less blue) and returns no new picture.
#include "../QuiltaraExtra.h"

extern "C" {

QUILTARA_EXTRA_EXPORT const char* GetNameA(void) {
    return "Warm Tint";
}

QUILTARA_EXTRA_EXPORT const char* GetDescription(void) {
    return "Adds 24 to red and takes 24 from blue, in place.";
}

QUILTARA_EXTRA_EXPORT int StartPlugin(uint32_t* pixels, int width, int height, void*) {
    if (!pixels || width <= 0 || height <= 0) return 0;
    const long n = (long)width * height;
    for (long i = 0; i < n; ++i) {
        const uint32_t p = pixels[i];
        int r = int((p >> 16) & 0xFF) + 24, b = int(p & 0xFF) - 24;
        r = r > 255 ? 255 : r;
        b = b < 0 ? 0 : b;
        pixels[i] = (p & 0xFF00FF00u) | uint32_t(r) << 16 | uint32_t(b);
    }
    return 1;
}

QUILTARA_EXTRA_EXPORT uint32_t* GetData(int*, int*) {
    return nullptr;
}
}
