#include "core/base/ProgramFolders.h"

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace quiltara {

CProgramFolders CProgramFolders::FromProgramFolder(const std::string& programFolder) {
    CProgramFolders f;
    f.program = programFolder;
    if (f.program.empty() || f.program.back() != '/') f.program += '/';
    f.textures = f.program + "Textures/";
    f.swatches = f.program + "Swatches/";
    f.brushes = f.program + "Brushes/";
    f.samples = f.program + "Samples/";
    f.help = f.program + "Help/";
    f.extras = f.program + "Extras/";
    f.brushTool = f.brushes + "Brush/";
    f.penTool = f.brushes + "Pen/";
    f.airbrushTool = f.brushes + "Airbrush/";
    f.stampTool = f.brushes + "Stamp/";
    f.retouchTool = f.brushes + "Retouch/";
    f.nozzleTool = f.brushes + "Nozzle/";
    f.naturalTool = f.brushes + "Natural/";
    return f;
}

namespace {
CProgramFolders& CurrentFolders() {
    static CProgramFolders folders;
    return folders;
}
} // namespace

const CProgramFolders& ProgramFolders() {
    return CurrentFolders();
}

void SetProgramFolder(const std::string& programFolder) {
    CurrentFolders() = CProgramFolders::FromProgramFolder(programFolder);
}

int DeleteSwapFiles(const std::string& folder) {
    int deleted = 0;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path& p = it->path();
        std::error_code typeError;
        if (!it->is_regular_file(typeError) || p.extension() != ".tmp") continue;
        std::error_code removeError;
        if (fs::remove(p, removeError)) ++deleted;
    }
    return deleted;
}

bool EnsureProgramFolders(const CProgramFolders& f) {
    bool ok = true;
    for (const std::string* dir :
         {&f.textures, &f.swatches, &f.samples, &f.brushTool, &f.penTool, &f.airbrushTool,
          &f.stampTool, &f.retouchTool, &f.nozzleTool, &f.naturalTool}) {
        std::error_code ec;
        fs::create_directories(*dir, ec);
        if (!fs::is_directory(*dir, ec)) ok = false;
    }
    return ok;
}

} // namespace quiltara
