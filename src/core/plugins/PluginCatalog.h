#pragma once
#include "core/base/Archive.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quiltara {

/// One filter offered by a plug-in file. The path is what the host library reported,
/// suffix ("#...") included; it is handed back to the host unchanged to run the filter.
struct PluginEntry {
    std::string path;
    std::string category;
    std::string name;
    int commandId = 0;
};

/// Menu ids of the plug-in filters: 30000 upwards, never past 31999 (32000 belongs to
/// the Extras).
inline constexpr int kPluginFirstId = 30000;
inline constexpr int kPluginLastId = 31999;

/// The plug-in list with the acceptance rules of the scan callback.
class CPluginList {
public:
    /// Adds the filter unless its name or category is empty (after leading white space is
    /// removed) or a filter of the same name and category is listed already. A name
    /// shorter than two characters, or one that starts with a control character, is shown
    /// as its category. True when the entry was added; the found line then names it.
    bool Accept(const std::string& path, const std::string& category, const std::string& name);
    void Clear() { m_entries.clear(); }

    const std::vector<PluginEntry>& Entries() const { return m_entries; }
    std::vector<PluginEntry>& Entries() { return m_entries; }
    /// "Found (%d) %s > %s" for the last accepted filter.
    const std::string& FoundLine() const { return m_found; }

    /// Gives ids from 30000 in list order; entries past 31999 keep id 0 and are not
    /// offered. Returns the number of entries that got an id.
    int AssignCommandIds();
    /// The entry carrying the id, or null.
    const PluginEntry* FindById(int id) const;

private:
    std::vector<PluginEntry> m_entries;
    std::string m_found;
};

/// "plugins.lib": the search folders and the plug-in list. Reading accepts each entry by
/// the rules of CPluginList::Accept; false when the data ends early or a count cannot be
/// right (what was read before stays).
bool ReadPluginsLib(const std::uint8_t* data, std::size_t size, std::vector<std::string>& folders,
                    CPluginList& list);
void WritePluginsLib(CArchiveWriter& ar, const std::vector<std::string>& folders,
                     const std::vector<PluginEntry>& entries);

/// One Extra: the full path of its library and its menu name.
struct ExtrasEntry {
    std::string path;
    std::string name;
    int commandId = 0;
};

inline constexpr int kExtrasFirstId = 32000;
inline constexpr int kExtrasLastId = 32700;

/// Gives ids from 32000 in list order, never past 32700; returns how many got one.
int AssignExtrasCommandIds(std::vector<ExtrasEntry>& entries);

/// "extras.lib": file names and menu names. Each path is rebuilt as extrasFolder (ending
/// in "/") plus the stored file name; a stored name that would leave that folder (a "/",
/// "." or "..") is dropped. False when the data ends early or a count cannot be right.
bool ReadExtrasLib(const std::uint8_t* data, std::size_t size, const std::string& extrasFolder,
                   std::vector<ExtrasEntry>& entries);
void WriteExtrasLib(CArchiveWriter& ar, const std::vector<ExtrasEntry>& entries);

} // namespace quiltara
