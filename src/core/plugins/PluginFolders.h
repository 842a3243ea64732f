#pragma once
#include <string>
#include <vector>

namespace quiltara {

/// True for a file the search hands to the host library: its name holds ".8bf" at a
/// position greater than 0, in that letter case ("a.8bf.bak" yes, "FILTER.8BF" no).
bool IsPluginFileName(const std::string& fileName);

/// The file part of an entry's path: the text before the first "#" when that "#" stands
/// at a position greater than 0, else the whole path.
std::string PluginFilePart(const std::string& path);

/// The search window's first line for a search pattern: the pattern itself, or "..."
/// and its last 40 characters when it is longer than 40.
std::string SearchPatternLine(const std::string& pattern);

/// Adds folder unless a folder equal to it ignoring letter case is listed; true when added.
bool AddFolderIgnoringCase(std::vector<std::string>& folders, const std::string& folder);
/// Removes the first folder equal to it ignoring letter case; true when one was removed.
bool RemoveFolderIgnoringCase(std::vector<std::string>& folders, const std::string& folder);

/// Adds folder by the nesting rule: nothing when it equals or lies inside a listed
/// folder; listed folders inside it are removed first. Compared in lower case with a
/// trailing "/"; empty folders are skipped. True when it was appended.
bool AddFolderNested(std::vector<std::string>& folders, const std::string& folder);

/// The folder list rebuilt from entries' paths: each file's folder (ending in "/"),
/// added by the nesting rule.
std::vector<std::string> FoldersFromPaths(const std::vector<std::string>& paths);

/// The mount points of local disk file systems in a mount table (the text of
/// /proc/self/mounts), in table order, each ending in "/": what the drive search offers
/// for the fixed disks of the machine. Pseudo, memory and network file systems are left
/// out, and so are mount points seen before.
std::vector<std::string> LocalMountPoints(const std::string& mountTable);

} // namespace quiltara
