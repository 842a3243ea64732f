#pragma once
#include <string>
#include <vector>

namespace quiltara {

/// One entry of a file dialog's filter: what the user reads and the patterns.
struct FileFilterEntry {
    std::string description;           // "PNG Files (*.PNG)"
    std::vector<std::string> patterns; // "*.PNG"
};

/// Splits the program's filter strings, "Desc|*.a;*.b|Desc2|*.c||", into entries.
/// An entry without patterns is dropped; so is the empty tail.
std::vector<FileFilterEntry> ParseFileFilter(const std::string& filter);

/// The patterns of a default name such as "*.Png;*.Jpg" (empty when it names a file).
std::vector<std::string> DefaultNamePatterns(const std::string& defaultName);

} // namespace quiltara
