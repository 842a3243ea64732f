// quiltara-cli repeat: a sheet of the tile repeated across and down.
#include "CliCommand.h"
#include "CliParse.h"
#include "CliPictureFiles.h"

#include "core/tiling/TileRepeat.h"

namespace quiltara::cli {

namespace {

int RunRepeat(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    bool offsetHalf = false;
    for (const std::string& a : args) {
        if (a == "--offset-half")
            offsetHalf = true;
        else if (a.rfind("--", 0) == 0)
            return Fail("unknown option " + a);
        else
            positional.push_back(a);
    }
    if (positional.size() != 3) return Fail("usage: repeat IN OUT NxM [--offset-half]");
    const std::string& count = positional[2];
    const std::size_t x = count.find('x');
    int across = 0, down = 0;
    if (x == std::string::npos || !ParseInt(count.substr(0, x), 1, kMaxSheetSide, across) ||
        !ParseInt(count.substr(x + 1), 1, kMaxSheetSide, down))
        return Fail("NxM: copies across and down, e.g. 3x2");
    CDIBSection2 tile, sheet;
    std::string error;
    if (!ReadPicture(positional[0], tile, error)) return Fail(error);
    RepeatResult result;
    try {
        result = RepeatTile(tile, across, down, offsetHalf, sheet);
    } catch (const std::bad_alloc&) {
        return Fail("not enough memory for a sheet of that size");
    }
    if (result != RepeatResult::Done) return Fail(RepeatResultText(result));
    if (!WritePicture(positional[1], sheet, false, error)) return Fail(error);
    return 0;
}

const CliRegistration repeatCommand(
    {"repeat", "repeat IN OUT NxM [--offset-half]",
     "write the tile repeated N across and M down; --offset-half moves every copy by half "
     "a tile so that the seams cross in its middle",
     RunRepeat});

} // namespace

} // namespace quiltara::cli
