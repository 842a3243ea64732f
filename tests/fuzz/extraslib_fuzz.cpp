// "extras.lib" from untrusted bytes: the reader must stay inside the data, keep every
// path inside the Extras folder, and what it reads must write back and read again the same.
#include "core/base/Archive.h"
#include "core/plugins/PluginCatalog.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quiltara;
    const std::string folder = "/program/Extras/";
    std::vector<quiltara::ExtrasEntry> entries;
    if (!ReadExtrasLib(data, size, folder, entries)) return 0;
    for (const ExtrasEntry& e : entries)
        if (e.path.compare(0, folder.size(), folder) != 0 ||
            e.path.find('/', folder.size()) != std::string::npos)
            std::abort();
    CArchiveWriter once;
    WriteExtrasLib(once, entries);
    std::vector<ExtrasEntry> again;
    if (!ReadExtrasLib(once.Bytes().data(), once.Bytes().size(), folder, again)) std::abort();
    if (again.size() != entries.size()) std::abort();
    AssignExtrasCommandIds(again);
    return 0;
}
