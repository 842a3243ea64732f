#include "core/paint/BlendModes.h"

namespace quiltara {

const char* BlendModeLabel(int mode) {
    static const char* const labels[kBlendModeCount] = {
        "Normal", "Edge-Smart", "Multiply",   "Difference", "Screen",     "Overlay",
        "Darken", "Lighten",    "Hard Light", "Soft Light", "If Lighter", "If Darker"};
    return mode >= 0 && mode < kBlendModeCount ? labels[mode] : "";
}

} // namespace quiltara
