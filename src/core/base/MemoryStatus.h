#pragma once
#include <cstdint>
#include <string>

namespace quiltara {

/// Available physical memory in bytes, or 0 when the system does not say.
std::uint64_t AvailablePhysicalMemory();
/// The status bar's memory pane text: "Mem:%lu KB" of bytes / 1024.
std::string FormatMemoryText(std::uint64_t availableBytes);

} // namespace quiltara
