#include "core/plugins/PluginFolders.h"

#include <algorithm>
#include <cctype>

namespace quiltara {

namespace {

std::string Lower(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = char(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::string WithSlash(std::string s) {
    if (s.empty() || s.back() != '/') s += '/';
    return s;
}

bool StartsWith(const std::string& s, const std::string& prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

bool IsPluginFileName(const std::string& fileName) {
    const std::size_t at = fileName.find(".8bf");
    return at != std::string::npos && at > 0;
}

std::string PluginFilePart(const std::string& path) {
    const std::size_t hash = path.find('#');
    return hash != std::string::npos && hash > 0 ? path.substr(0, hash) : path;
}

std::string SearchPatternLine(const std::string& pattern) {
    if (pattern.size() <= 40) return pattern;
    return "..." + pattern.substr(pattern.size() - 40);
}

bool AddFolderIgnoringCase(std::vector<std::string>& folders, const std::string& folder) {
    const std::string key = Lower(folder);
    for (const std::string& f : folders)
        if (Lower(f) == key) return false;
    folders.push_back(folder);
    return true;
}

bool RemoveFolderIgnoringCase(std::vector<std::string>& folders, const std::string& folder) {
    const std::string key = Lower(folder);
    for (auto it = folders.begin(); it != folders.end(); ++it)
        if (Lower(*it) == key) {
            folders.erase(it);
            return true;
        }
    return false;
}

bool AddFolderNested(std::vector<std::string>& folders, const std::string& folder) {
    if (folder.empty()) return false;
    const std::string added = WithSlash(Lower(folder));
    for (std::size_t i = 0; i < folders.size();) {
        if (folders[i].empty()) {
            ++i;
            continue;
        }
        const std::string listed = WithSlash(Lower(folders[i]));
        if (StartsWith(added, listed)) return false; // equal, or inside a listed folder
        if (StartsWith(listed, added)) {
            folders.erase(folders.begin() + std::ptrdiff_t(i)); // the next one moves here
            continue;
        }
        ++i;
    }
    folders.push_back(folder);
    return true;
}

std::vector<std::string> FoldersFromPaths(const std::vector<std::string>& paths) {
    std::vector<std::string> folders;
    for (const std::string& path : paths) {
        const std::string file = PluginFilePart(path);
        const std::size_t slash = file.rfind('/');
        if (slash == std::string::npos) continue;
        AddFolderNested(folders, file.substr(0, slash + 1)); // "/" itself for a file at the root
    }
    return folders;
}

namespace {

// Mount table fields write blanks, tabs, new lines and backslashes as octal escapes.
std::string UnescapeMountField(const std::string& field) {
    std::string out;
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size()) {
            const std::string digits = field.substr(i + 1, 3);
            if (digits.find_first_not_of("01234567") == std::string::npos) {
                out += char(std::stoi(digits, nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += field[i];
    }
    return out;
}

} // namespace

std::vector<std::string> LocalMountPoints(const std::string& mountTable) {
    static const char* const kDiskTypes[] = {
        "ext2", "ext3", "ext4", "xfs",     "btrfs",    "vfat", "exfat",   "ntfs",  "ntfs3",  "f2fs",
        "zfs",  "jfs",  "hfs",  "hfsplus", "reiserfs", "udf",  "iso9660", "msdos", "fuseblk"};
    std::vector<std::string> points;
    std::size_t start = 0;
    while (start < mountTable.size()) {
        std::size_t end = mountTable.find('\n', start);
        if (end == std::string::npos) end = mountTable.size();
        const std::string line = mountTable.substr(start, end - start);
        start = end + 1;
        // device, mount point, type, options, ...
        std::vector<std::string> fields;
        std::size_t at = 0;
        while (at < line.size() && fields.size() < 3) {
            while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
            const std::size_t from = at;
            while (at < line.size() && line[at] != ' ' && line[at] != '\t') ++at;
            if (at > from) fields.push_back(line.substr(from, at - from));
        }
        if (fields.size() < 3) continue;
        bool disk = false;
        for (const char* type : kDiskTypes) disk = disk || fields[2] == type;
        if (!disk) continue;
        std::string point = UnescapeMountField(fields[1]);
        if (point.empty() || point[0] != '/') continue;
        if (point.back() != '/') point += '/';
        bool seen = false;
        for (const std::string& p : points) seen = seen || p == point;
        if (!seen) points.push_back(point);
    }
    return points;
}

} // namespace quiltara
