/* Filter plug-ins for Quiltara: the interface a ".8bf" file offers.
 *
 * A filter plug-in is a native shared library whose file name contains ".8bf" (for
 * example "mixer.8bf"). It exports three C functions, listed below. Quiltara never
 * loads a plug-in into its own process: the host library runs it in a helper process,
 * so a plug-in that crashes or stops responding ends only that helper. See README.md
 * beside this file for a walk-through. */
#ifndef QUILTARA_FILTER_H
#define QUILTARA_FILTER_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define QUILTARA_FILTER_API 1

#if defined(__GNUC__)
#define QUILTARA_FILTER_EXPORT __attribute__((visibility("default")))
#else
#define QUILTARA_FILTER_EXPORT
#endif

/* A picture: 32-bit pixels, bytes in the order blue, green, red, alpha (0xAARRGGBB as a
 * little-endian uint32_t), rows top-down, pitch pixels from one row to the next. The
 * picture is a tile: filters that look at neighbours should wrap around the edges so
 * that it stays seamless. */
typedef struct QuiltaraImage {
    int32_t width;
    int32_t height;
    uint32_t* pixels;
    int32_t pitch;
} QuiltaraImage;

/* What the host offers a running filter. */
typedef struct QuiltaraFilterHost {
    /* Call now and then with how far the filter has come (for example once a row). It
     * also tells the host the filter is alive: a filter that reports nothing for a
     * long time is taken to have stopped responding and is ended. */
    void (*progress)(void* context, int done, int total);
    void* context;
    uint32_t foreground; /* 0x00RRGGBB */
    uint32_t background; /* 0x00RRGGBB */
} QuiltaraFilterHost;

/* One filter of the library: the submenu it is listed under and its menu text. */
typedef struct QuiltaraFilterInfo {
    const char* category;
    const char* name;
} QuiltaraFilterInfo;

/* Returns QUILTARA_FILTER_API. */
QUILTARA_FILTER_EXPORT int QuiltaraFilterApi(void);

/* The library's filters; *count receives how many. The strings must stay valid while the
 * library is loaded. */
QUILTARA_FILTER_EXPORT const QuiltaraFilterInfo* QuiltaraFilterList(int* count);

/* Runs filter number index (its place in QuiltaraFilterList) on source, writing the
 * result into destination (the same size; it starts as a copy of source). Returns 0 on
 * success; anything else means the picture is to stay as it was. */
QUILTARA_FILTER_EXPORT int QuiltaraFilterRun(int index, const QuiltaraImage* source,
                                             QuiltaraImage* destination,
                                             const QuiltaraFilterHost* host);

#ifdef __cplusplus
}
#endif

#endif
