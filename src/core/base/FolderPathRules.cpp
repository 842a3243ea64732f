#include "core/base/FolderPathRules.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace quiltara {

namespace {

bool ValidLevel(const std::string& level) {
    if (level.empty()) return false;
    auto edge = [](char c) { return c == '\t' || c == ' ' || c == '.'; };
    if (edge(level.front()) || edge(level.back())) return false;
    return level.find_first_of("\"*/:<>?\\|") == std::string::npos;
}

bool IsFolder(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

} // namespace

int CheckFolderPath(const std::string& path, bool create) {
    if (path.empty() || path[0] != '/') return kFolderInvalid;
    if (path.size() == 1) return !create || IsFolder("/") ? kFolderUsable : kFolderCannotCreate;
    std::size_t start = 1;
    for (;;) {
        const std::size_t slash = path.find('/', start);
        const std::string level =
            path.substr(start, slash == std::string::npos ? slash : slash - start);
        if (slash != std::string::npos && slash + 1 == path.size())
            return kFolderInvalid; // a trailing "/" after a level
        if (!ValidLevel(level)) return kFolderInvalid;
        if (create) {
            const std::string upTo = path.substr(0, slash);
            std::error_code ec;
            fs::create_directory(upTo, ec);
            if (!IsFolder(upTo)) return kFolderCannotCreate;
        }
        if (slash == std::string::npos) return kFolderUsable;
        start = slash + 1;
    }
}

std::string FolderInvalidText(const std::string& path) {
    return "The folder:\n\n" + path + "\n\nis invalid. Please reenter.";
}

std::string FolderCannotCreateText(const std::string& path) {
    return "The folder:\n\n" + path + "\n\ncan not be created. Please double check.";
}

std::string FolderCreateQuestionText(const std::string& path) {
    return "The folder:\n\n" + path + "\n\ndoes not exist. Do you want the folder to be created?";
}

} // namespace quiltara
