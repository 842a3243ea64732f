#pragma once
#include "core/plugins/ApihInterface.h"

#include <string>

namespace quiltara {

/// The plug-in host library, loaded at run time: libapih.so from QUILTARA_APIH when set,
/// else from the first of PluginSupportFolders that holds it.
/// Loaded once and kept for the life of the process.
class CPluginHost {
public:
    static CPluginHost& Instance();

    /// True when the library is loaded and exports both functions.
    bool Available();
    /// The reason it is not, for a message.
    const std::string& Error() const { return m_error; }

    ScanPSPluginFn ScanPSPlugin = nullptr;
    InvokePSPluginFn InvokePSPlugin = nullptr;

private:
    CPluginHost() = default;
    bool m_tried = false;
    std::string m_error;
};

/// A sentence saying what a non-zero result of InvokePSPlugin means, for the message
/// the program shows when a plug-in failed in a way the user should hear about; empty
/// for results that need no message (success, cancelled by the user, failure the filter
/// reported itself).
std::string PluginRunProblemText(int result);

} // namespace quiltara
