#include "core/plugins/PluginCatalog.h"

#include <cstdio>

namespace quiltara {

namespace {

std::string WithoutLeadingWhiteSpace(const std::string& s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == ' ' || s[i] == '\t' || s[i] == '\n' || s[i] == '\r' ||
                            s[i] == '\v' || s[i] == '\f'))
        ++i;
    return s.substr(i);
}

// The smallest archived string is one byte, so a count larger than the bytes left cannot
// be right; this keeps a hostile count from reserving memory or looping for long.
bool CountFits(std::int32_t count, std::size_t remaining, std::size_t bytesPerItem) {
    return count >= 0 && std::size_t(count) <= remaining / bytesPerItem;
}

} // namespace

bool CPluginList::Accept(const std::string& path, const std::string& rawCategory,
                         const std::string& rawName) {
    const std::string category = WithoutLeadingWhiteSpace(rawCategory);
    std::string name = WithoutLeadingWhiteSpace(rawName);
    if (name.empty() || category.empty()) return false;
    for (const PluginEntry& e : m_entries)
        if (e.name == name && e.category == category) return false;
    // The duplicate test above compares the name as reported; only the menu text changes.
    if (name.size() < 2 || static_cast<unsigned char>(name[0]) < 30) name = category;
    m_entries.push_back({path, category, name, 0});
    char count[16];
    std::snprintf(count, sizeof count, "%zu", m_entries.size());
    m_found = "Found (" + std::string(count) + ") " + category + " > " + name;
    return true;
}

int CPluginList::AssignCommandIds() {
    int next = kPluginFirstId;
    for (PluginEntry& e : m_entries) e.commandId = next <= kPluginLastId ? next++ : 0;
    return next - kPluginFirstId;
}

const PluginEntry* CPluginList::FindById(int id) const {
    if (id == 0) return nullptr;
    for (const PluginEntry& e : m_entries)
        if (e.commandId == id) return &e;
    return nullptr;
}

bool ReadPluginsLib(const std::uint8_t* data, std::size_t size, std::vector<std::string>& folders,
                    CPluginList& list) {
    folders.clear();
    list.Clear();
    CArchiveReader ar(data, size);
    const std::int32_t folderCount = ar.ReadInt32();
    if (!ar.Ok() || !CountFits(folderCount, ar.Remaining(), 1)) return false;
    for (std::int32_t i = 0; i < folderCount; ++i) {
        std::string folder = ar.ReadString();
        if (!ar.Ok()) return false;
        folders.push_back(std::move(folder));
    }
    const std::int32_t entryCount = ar.ReadInt32();
    if (!ar.Ok() || !CountFits(entryCount, ar.Remaining(), 3)) return false;
    for (std::int32_t i = 0; i < entryCount; ++i) {
        std::string path = ar.ReadString();
        std::string category = ar.ReadString();
        std::string name = ar.ReadString();
        if (!ar.Ok()) return false;
        list.Accept(path, category, name);
    }
    ar.ReadInt32(); // the end mark, whatever its value
    return ar.Ok();
}

void WritePluginsLib(CArchiveWriter& ar, const std::vector<std::string>& folders,
                     const std::vector<PluginEntry>& entries) {
    ar.WriteInt32(std::int32_t(folders.size()));
    for (const std::string& f : folders) ar.WriteString(f);
    ar.WriteInt32(std::int32_t(entries.size()));
    for (const PluginEntry& e : entries) {
        ar.WriteString(e.path);
        ar.WriteString(e.category);
        ar.WriteString(e.name);
    }
    ar.WriteInt32(-1);
}

int AssignExtrasCommandIds(std::vector<ExtrasEntry>& entries) {
    int next = kExtrasFirstId;
    for (ExtrasEntry& e : entries) e.commandId = next <= kExtrasLastId ? next++ : 0;
    return next - kExtrasFirstId;
}

namespace {
std::string FileNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash != std::string::npos && slash > 0 ? path.substr(slash + 1) : path;
}
} // namespace

bool ReadExtrasLib(const std::uint8_t* data, std::size_t size, const std::string& extrasFolder,
                   std::vector<ExtrasEntry>& entries) {
    entries.clear();
    CArchiveReader ar(data, size);
    const std::int32_t count = ar.ReadInt32();
    if (!ar.Ok() || !CountFits(count, ar.Remaining(), 2)) return false;
    for (std::int32_t i = 0; i < count; ++i) {
        std::string file = ar.ReadString();
        std::string name = ar.ReadString();
        if (!ar.Ok()) return false;
        // Only files of the Extras folder itself are ever listed; a cache that points
        // elsewhere was not written by this program.
        if (file.empty() || file == "." || file == ".." || file.find('/') != std::string::npos ||
            file.find('\0') != std::string::npos || name.empty())
            continue;
        entries.push_back({extrasFolder + file, std::move(name), 0});
    }
    ar.ReadInt32(); // the end mark
    return ar.Ok();
}

void WriteExtrasLib(CArchiveWriter& ar, const std::vector<ExtrasEntry>& entries) {
    ar.WriteInt32(std::int32_t(entries.size()));
    for (const ExtrasEntry& e : entries) {
        ar.WriteString(FileNameOf(e.path));
        ar.WriteString(e.name);
    }
    ar.WriteInt32(-1);
}

} // namespace quiltara
