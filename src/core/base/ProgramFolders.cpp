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
    f.plugins = f.program + "Plugins/";
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

namespace {
// Copies one plain file when the target is not there yet; true when it copied.
bool SeedFile(const fs::path& from, const fs::path& to) {
    std::error_code ec;
    if (fs::exists(fs::symlink_status(to, ec))) return false;
    fs::path part = to;
    part += ".part";
    fs::remove(part, ec);
    if (!fs::copy_file(from, part, ec)) {
        fs::remove(part, ec);
        return false;
    }
    // The user may have made the file meanwhile; never replace it.
    if (fs::exists(fs::symlink_status(to, ec))) {
        fs::remove(part, ec);
        return false;
    }
    fs::rename(part, to, ec);
    if (ec) fs::remove(part, ec);
    return !ec;
}
} // namespace

int SeedProgramFolder(const std::string& dataFolder, const std::string& programFolder) {
    std::error_code ec;
    if (dataFolder.empty() || programFolder.empty() ||
        fs::equivalent(dataFolder, programFolder, ec))
        return 0;
    int copied = 0;
    for (const char* name : kSeededDataFolders) {
        const fs::path from = fs::path(dataFolder) / name;
        const fs::path to = fs::path(programFolder) / name;
        if (!fs::is_directory(fs::symlink_status(from, ec))) continue;
        fs::create_directories(to, ec);
        if (!fs::is_directory(to, ec)) continue;
        std::error_code walk;
        fs::recursive_directory_iterator it(from, fs::directory_options::skip_permission_denied,
                                            walk);
        for (const fs::recursive_directory_iterator end; !walk && it != end; it.increment(walk)) {
            std::error_code entryError;
            const fs::path& source = it->path();
            const fs::file_status status = it->symlink_status(entryError);
            const fs::path target = to / source.lexically_relative(from);
            if (entryError || source.filename().string().front() == '.') {
                if (fs::is_directory(status)) it.disable_recursion_pending();
                continue;
            }
            if (fs::is_directory(status)) {
                fs::create_directory(target, entryError);
                // A plain file where the folder belongs: leave that branch out.
                if (!fs::is_directory(fs::symlink_status(target, entryError)))
                    it.disable_recursion_pending();
            } else if (fs::is_regular_file(status) && SeedFile(source, target)) {
                ++copied;
            }
        }
    }
    return copied;
}

} // namespace quiltara
