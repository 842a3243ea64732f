#include "core/plugins/PluginHost.h"

#include "core/plugins/HelperProcess.h"

#include <cstdlib>
#include <dlfcn.h>
#include <filesystem>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace quiltara {

CPluginHost& CPluginHost::Instance() {
    static CPluginHost host;
    return host;
}

bool CPluginHost::Available() {
    if (m_tried) return ScanPSPlugin && InvokePSPlugin;
    m_tried = true;
    std::vector<std::string> candidates;
    if (const char* env = std::getenv("QUILTARA_APIH"); env && *env) candidates.push_back(env);
    for (const std::string& folder : PluginSupportFolders())
        candidates.push_back((fs::path(folder) / "libapih.so").string());
    for (const std::string& path : candidates) {
        if (access(path.c_str(), R_OK) != 0) continue;
        void* lib = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!lib) {
            const char* why = dlerror();
            m_error = why ? why : path;
            continue;
        }
        ScanPSPlugin = reinterpret_cast<ScanPSPluginFn>(dlsym(lib, "ScanPSPlugin"));
        InvokePSPlugin = reinterpret_cast<InvokePSPluginFn>(dlsym(lib, "InvokePSPlugin"));
        if (ScanPSPlugin && InvokePSPlugin) return true;
        ScanPSPlugin = nullptr;
        InvokePSPlugin = nullptr;
        dlclose(lib);
        m_error = path + " lacks ScanPSPlugin or InvokePSPlugin";
    }
    if (m_error.empty()) m_error = "libapih.so was not found";
    return false;
}

std::string PluginRunProblemText(int result) {
    switch (result) {
    case kPluginCrashed:
        return "The plug-in crashed. It was stopped and the picture was left as it was.";
    case kPluginHung:
        return "The plug-in stopped responding. It was stopped and the picture was left as it "
               "was.";
    case kPluginNotLoaded:
        return "The plug-in could not be loaded, or it does not offer this filter.";
    case kPluginNoHelper:
        return "The helper program that runs plug-ins (quiltara-plugin-runner) could not be "
               "started.";
    default:
        return {};
    }
}

} // namespace quiltara
