#pragma once
#include <string>

namespace quiltara {

/// What the folder rules say about a typed path.
enum FolderPathCheck : int {
    kFolderUsable = 0,
    kFolderInvalid = 1,      // not a folder path the program accepts
    kFolderCannotCreate = 2, // a level could not be made, or the root is missing
};

/// The folder picker's rules for a typed folder, on POSIX paths where "/" plays the
/// drive root: the path starts with "/"; each level after it is non-empty, neither
/// begins nor ends with a tab, a blank or ".", and holds none of " * / : < > ? \ |;
/// a path that ends in "/" after a level is invalid. With create set, each missing level
/// is made on the way and must then exist.
int CheckFolderPath(const std::string& path, bool create);

/// The picker's messages for a path.
std::string FolderInvalidText(const std::string& path);
std::string FolderCannotCreateText(const std::string& path);
std::string FolderCreateQuestionText(const std::string& path);

} // namespace quiltara
