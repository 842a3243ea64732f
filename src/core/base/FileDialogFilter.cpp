#include "core/base/FileDialogFilter.h"

namespace quiltara {

namespace {
std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string current;
    for (char c : text) {
        if (c == separator) {
            parts.push_back(current);
            current.clear();
        } else {
            current += c;
        }
    }
    parts.push_back(current);
    return parts;
}
} // namespace

std::vector<FileFilterEntry> ParseFileFilter(const std::string& filter) {
    std::vector<FileFilterEntry> entries;
    const std::vector<std::string> fields = Split(filter, '|');
    for (std::size_t i = 0; i + 1 < fields.size(); i += 2) {
        if (fields[i].empty() && fields[i + 1].empty()) break;
        FileFilterEntry entry;
        entry.description = fields[i];
        for (const std::string& p : Split(fields[i + 1], ';'))
            if (!p.empty()) entry.patterns.push_back(p);
        if (!entry.patterns.empty()) entries.push_back(entry);
    }
    return entries;
}

std::vector<std::string> DefaultNamePatterns(const std::string& defaultName) {
    std::vector<std::string> patterns;
    if (defaultName.find('*') == std::string::npos) return patterns;
    for (const std::string& p : Split(defaultName, ';'))
        if (!p.empty()) patterns.push_back(p);
    return patterns;
}

} // namespace quiltara
