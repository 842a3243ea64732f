// "plugins.lib" from untrusted bytes: the reader must stay inside the data, never reserve
// memory from a count it has not checked, and what it writes back must read again the
// same. (One round may drop entries: two one-character names of one category are both
// shown as the category and count as the same filter on the next reading.)
#include "core/base/Archive.h"
#include "core/plugins/PluginCatalog.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quiltara;
    std::vector<std::string> folders;
    CPluginList list;
    if (!ReadPluginsLib(data, size, folders, list)) return 0;
    CArchiveWriter first;
    WritePluginsLib(first, folders, list.Entries());
    if (!ReadPluginsLib(first.Bytes().data(), first.Bytes().size(), folders, list)) std::abort();
    CArchiveWriter once;
    WritePluginsLib(once, folders, list.Entries());
    std::vector<std::string> againFolders;
    CPluginList again;
    if (!ReadPluginsLib(once.Bytes().data(), once.Bytes().size(), againFolders, again))
        std::abort();
    CArchiveWriter twice;
    WritePluginsLib(twice, againFolders, again.Entries());
    if (twice.Bytes() != once.Bytes()) std::abort();
    list.AssignCommandIds();
    return 0;
}
