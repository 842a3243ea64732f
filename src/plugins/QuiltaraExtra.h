/* Extras for Quiltara: the interface of a ".xtr" library.
 *
 * An Extra is a native shared library named "<something>.xtr" in the Extras folder of
 * the program folder (sub-folders are not searched). It adds one command to Image >
 * Extras. Like filter plug-ins it runs in a helper process of the program. */
#ifndef QUILTARA_EXTRA_H
#define QUILTARA_EXTRA_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#if defined(__GNUC__)
#define QUILTARA_EXTRA_EXPORT __attribute__((visibility("default")))
#else
#define QUILTARA_EXTRA_EXPORT
#endif

/* The menu text. A library without it, or returning an empty text, is not listed. */
QUILTARA_EXTRA_EXPORT const char* GetNameA(void);

/* A description shown in the Extras dialog (optional). */
QUILTARA_EXTRA_EXPORT const char* GetDescription(void);

/* Runs the Extra on the picture: width x height packed 32-bit pixels (blue, green, red,
 * alpha), the bottom row first. The library may change them in place. view is an opaque
 * value naming the window the command came from. Returns 0 when nothing happened,
 * anything else when the run went ahead. */
QUILTARA_EXTRA_EXPORT int StartPlugin(uint32_t* pixels, int width, int height, void* view);

/* Called after a non-zero StartPlugin: a new picture (same layout) and its size, or null
 * to keep the picture as StartPlugin left it. The memory stays the library's. */
QUILTARA_EXTRA_EXPORT uint32_t* GetData(int* width, int* height);

#ifdef __cplusplus
}
#endif

#endif
