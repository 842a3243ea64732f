#pragma once
#include "core/image/DIBSection2.h"
#include "core/plugins/ApihInterface.h"
#include "core/plugins/ExtrasHost.h"

#include <string>

namespace quiltara {

/// Runs one filter of the host library on a 32-bit picture: the filter gets a top-down
/// copy of the picture as source and a second copy as destination; on success the
/// destination is copied back, bottom-up again. Any other result leaves the picture
/// untouched. Returns the host's result, or kPluginBadArguments / kPluginNoHelper when
/// the picture cannot be handed over or the host library is missing.
int RunPluginOnPicture(CDIBSection2& picture, const std::string& path, PSAbortFn abortPoll,
                       PSProgressFn progress, void* window);

/// Takes an Extra's result into the picture: with a non-zero start result, the pixels it
/// changed in place, then the new picture it returned (at its size). False when nothing
/// changed.
bool ApplyExtraResult(CDIBSection2& picture, const ExtraRunResult& result);

/// "The file \n<path>\ndoesn't exist on the system anymore. ..." for a plug-in file.
std::string PluginMissingText(const std::string& path);
/// The messages at the end of a full search.
inline constexpr const char* kPluginSearchCancelledText =
    "The list of Plug-Ins under menu Filter is not complete\nbecause you Cancel the search";
std::string PluginFoundCountText(int count);

} // namespace quiltara
