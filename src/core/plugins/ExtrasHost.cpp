#include "core/plugins/ExtrasHost.h"

#include "core/plugins/HelperProcess.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace quiltara {

namespace {

bool EndsWithXtr(const std::string& name) {
    if (name.size() < 5) return false; // a name as well as the extension
    std::string ext = name.substr(name.size() - 4);
    for (char& c : ext) c = char(std::tolower(static_cast<unsigned char>(c)));
    return ext == ".xtr";
}

// The "R" line of a helper run split into its fields, or empty.
std::vector<std::string> ResultLine(const HelperRun& run) {
    for (auto it = run.lines.rbegin(); it != run.lines.rend(); ++it) {
        std::vector<std::string> f = SplitHelperLine(*it);
        if (f.size() >= 2 && f[0] == "R") return f;
    }
    return {};
}

int ToInt(const std::string& s) {
    return int(std::strtol(s.c_str(), nullptr, 10));
}

} // namespace

bool AskExtraText(const std::string& path, bool description, std::string& text) {
    HelperOptions options;
    options.silenceTimeoutMs = PluginSilenceTimeoutMs(10000);
    const HelperRun run =
        RunHelper(FindPluginRunner(), {description ? "xtrdesc" : "xtrname", path}, -1, options);
    if (run.end != HelperEnd::Finished) return false;
    const std::vector<std::string> result = ResultLine(run);
    if (result.empty() || result[1] != "0") return false;
    for (const std::string& line : run.lines) {
        std::vector<std::string> f = SplitHelperLine(line);
        if (f.size() == 2 && f[0] == "N") {
            text = f[1];
            return true;
        }
    }
    return false;
}

std::vector<ExtrasEntry> ListExtras(const std::string& extrasFolder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (fs::directory_iterator it(extrasFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (name.empty() || name == "." || name == ".." || it->is_directory(typeError)) continue;
        if (EndsWithXtr(name)) files.push_back(it->path().string());
    }
    std::sort(files.begin(), files.end());
    std::vector<ExtrasEntry> entries;
    for (const std::string& file : files) {
        std::string name;
        if (AskExtraText(file, false, name) && !name.empty()) entries.push_back({file, name, 0});
    }
    return entries;
}

ExtraRunResult RunExtra(const std::string& path, const std::uint8_t* pixels, int width, int height,
                        const void* view, const std::function<bool()>& abortPoll) {
    ExtraRunResult out;
    if (width <= 0 || height <= 0) return out;
    const std::size_t bytes = std::size_t(width) * std::size_t(height) * 4;
    CSharedPixels shared;
    if (!shared.Create(bytes)) return out;
    std::memcpy(shared.Data(), pixels, bytes);

    char viewText[32];
    std::snprintf(viewText, sizeof viewText, "%llu",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(view)));
    HelperOptions options;
    options.silenceTimeoutMs = PluginSilenceTimeoutMs(60000);
    options.abortPoll = abortPoll;
    const HelperRun run =
        RunHelper(FindPluginRunner(),
                  {"xtrrun", path, std::to_string(width), std::to_string(height), viewText},
                  shared.Fd(), options);
    switch (run.end) {
    case HelperEnd::NotStarted:
        out.status = ExtraRunResult::NoHelper;
        return out;
    case HelperEnd::Hung:
    case HelperEnd::Cancelled:
        out.status = ExtraRunResult::Hung;
        return out;
    case HelperEnd::Crashed:
        out.status = ExtraRunResult::Crashed;
        return out;
    case HelperEnd::Finished:
        break;
    }
    const std::vector<std::string> result = ResultLine(run);
    if (result.empty()) {
        out.status = ExtraRunResult::Crashed; // it ended without saying how
        return out;
    }
    const int code = ToInt(result[1]);
    if (result[1] == "load") {
        out.status = ExtraRunResult::LoadFailed;
        return out;
    }
    if (result[1] == "exports") {
        out.status = ExtraRunResult::MissingExports;
        return out;
    }
    out.status = ExtraRunResult::Ran;
    out.startResult = code;
    if (code == 0) return out;
    if (!shared.Remap() || shared.Size() < bytes) {
        out.status = ExtraRunResult::Crashed;
        return out;
    }
    out.inPlace.assign(shared.Data(), shared.Data() + bytes);
    if (result.size() >= 4) {
        const std::int64_t w = ToInt(result[2]), h = ToInt(result[3]);
        if (w > 0 && h > 0 && w * h <= kExtraMaxPixels &&
            shared.Size() >= bytes + std::size_t(w * h * 4)) {
            out.newWidth = int(w);
            out.newHeight = int(h);
            out.newPixels.assign(shared.Data() + bytes,
                                 shared.Data() + bytes + std::size_t(w * h * 4));
        }
    }
    return out;
}

std::string ExtraMissingText(const std::string& path) {
    return "The file \n" + path +
           "\ndoesn't exist on the system anymore.\nPlease go to Extras Manager to reload "
           "Extras.(Image->Extras->Extras Manager)";
}

} // namespace quiltara
