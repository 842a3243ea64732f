// quiltara-cli plugin / plugins / extra: filter plug-ins and Extras, run through the same
// host library and helper process as in the program.
#include "CliCommand.h"
#include "CliPictureFiles.h"

#include "core/image/DIBSection2.h"
#include "core/plugins/ExtrasHost.h"
#include "core/plugins/PluginCatalog.h"
#include "core/plugins/PluginFolders.h"
#include "core/plugins/PluginHost.h"
#include "core/plugins/PluginRun.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace quiltara::cli {

namespace {

CPluginList g_found;

int Report(const char* path, const char* category, const char* name) {
    g_found.Accept(path, category, name);
    return 0;
}

bool ScanFile(const std::string& file, std::string& error) {
    CPluginHost& host = CPluginHost::Instance();
    if (!host.Available()) {
        error = "the plug-in host library is not available: " + host.Error();
        return false;
    }
    g_found.Clear();
    if (!host.ScanPSPlugin(file.c_str(), Report)) {
        error = file + ": no filter plug-in found in this file";
        return false;
    }
    return true;
}

// A percentage on the terminal, written only when it changes.
void ProgressToStderr(int done, int total) {
    static int shown = -1;
    if (!isatty(2)) return;
    const int percent = int(100.0 / (total <= 0 ? 1 : total) * done);
    if (percent == shown) return;
    shown = percent;
    std::fprintf(stderr, "\rPlugin %3d%%", percent);
    if (percent >= 100) std::fprintf(stderr, "\n");
}

int RunPlugins(const std::vector<std::string>& args) {
    if (args.size() != 1) return Fail("usage: plugins PLUGIN.8bf");
    std::string error;
    if (!ScanFile(args[0], error)) return Fail(error);
    for (const PluginEntry& e : g_found.Entries())
        std::printf("%s\t%s\t%s\n", e.category.c_str(), e.name.c_str(), e.path.c_str());
    return 0;
}

int RunPlugin(const std::vector<std::string>& args) {
    if (args.size() != 3 && args.size() != 4) return Fail("usage: plugin IN OUT PLUGIN.8bf [NAME]");
    std::string error;
    if (!std::filesystem::exists(PluginFilePart(args[2]))) return Fail(PluginMissingText(args[2]));
    if (!ScanFile(args[2], error)) return Fail(error);
    const PluginEntry* entry = nullptr;
    for (const PluginEntry& e : g_found.Entries())
        if (args.size() == 3 || e.name == args[3] || e.category + ">" + e.name == args[3]) {
            entry = &e;
            break;
        }
    if (!entry) return Fail(args[2] + " has no filter named '" + args[3] + "'");
    CDIBSection2 picture;
    if (!ReadPicture(args[0], picture, error)) return Fail(error);
    const int result = RunPluginOnPicture(picture, entry->path, nullptr, ProgressToStderr, nullptr);
    if (result != kPluginOk) {
        const std::string why = PluginRunProblemText(result);
        return Fail(entry->name + ": " +
                    (why.empty() ? "the plug-in failed (" + std::to_string(result) + ")" : why));
    }
    if (!WritePicture(args[1], picture, false, error)) return Fail(error);
    return 0;
}

int RunExtraCommand(const std::vector<std::string>& args) {
    if (args.size() != 3) return Fail("usage: extra IN OUT EXTRA.xtr");
    if (!std::filesystem::exists(args[2])) return Fail(ExtraMissingText(args[2]));
    CDIBSection2 picture;
    std::string error;
    if (!ReadPicture(args[0], picture, error)) return Fail(error);
    const ExtraRunResult result =
        RunExtra(args[2], picture.GetBits(), picture.GetWidth(), picture.GetHeight(), nullptr, {});
    switch (result.status) {
    case ExtraRunResult::LoadFailed:
        return Fail("Can't find" + args[2]);
    case ExtraRunResult::MissingExports:
        return Fail(kExtraTroubleText);
    case ExtraRunResult::Crashed:
        return Fail(PluginRunProblemText(kPluginCrashed));
    case ExtraRunResult::Hung:
    case ExtraRunResult::Cancelled:
        return Fail(PluginRunProblemText(kPluginHung));
    case ExtraRunResult::NoHelper:
        return Fail(PluginRunProblemText(kPluginNoHelper));
    case ExtraRunResult::Ran:
        break;
    }
    if (result.startResult == 0) std::fprintf(stderr, "quiltara-cli: the Extra changed nothing\n");
    ApplyExtraResult(picture, result);
    if (!WritePicture(args[1], picture, false, error)) return Fail(error);
    return 0;
}

const CliRegistration pluginsCommand({"plugins", "plugins PLUGIN.8bf",
                                      "list the filters of a plug-in file", RunPlugins});
const CliRegistration pluginCommand({"plugin", "plugin IN OUT PLUGIN.8bf [NAME]",
                                     "run a filter plug-in (the first filter, or NAME)",
                                     RunPlugin});
const CliRegistration extraCommand({"extra", "extra IN OUT EXTRA.xtr", "run an Extra",
                                    RunExtraCommand});

} // namespace

} // namespace quiltara::cli
