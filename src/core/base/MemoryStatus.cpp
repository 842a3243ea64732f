#include "core/base/MemoryStatus.h"

#include <cstdio>
#include <cstring>
#include <fstream>

namespace quiltara {

std::uint64_t AvailablePhysicalMemory() {
    std::ifstream meminfo("/proc/meminfo");
    std::string key;
    std::uint64_t value = 0;
    std::string unit;
    while (meminfo >> key >> value >> unit) {
        if (key == "MemAvailable:") return value * 1024;
    }
    return 0;
}

std::string FormatMemoryText(std::uint64_t availableBytes) {
    char text[48];
    std::snprintf(text, sizeof text, "Mem:%llu KB", (unsigned long long)(availableBytes / 1024));
    return text;
}

} // namespace quiltara
