#pragma once
#include <functional>
#include <string>

namespace quiltara {

/// What the search window shows while a search runs. The GUI pumps its events in
/// ShowPattern; tests record the lines.
class IPluginSearchWindow {
public:
    virtual ~IPluginSearchWindow() = default;
    /// Shows the first line; returns true when the user asked to cancel since last time.
    virtual bool ShowPattern(const std::string& line) = 0;
    /// Shows the second line, the last filter found.
    virtual void ShowFound(const std::string& line) = 0;
};

/// The recursive search of plug-in folders. scan is called with the full path of each
/// candidate file (see IsPluginFileName) and returns true when the host found filters in
/// it; foundLine gives the text the window then shows.
class CPluginSearch {
public:
    CPluginSearch(std::function<bool(const std::string& path)> scan,
                  std::function<std::string()> foundLine, IPluginSearchWindow* window)
        : m_scan(std::move(scan)), m_foundLine(std::move(foundLine)), m_window(window) {}

    /// Searches folder and everything below it, depth first in the order the file system
    /// gives the entries. Links to folders are not followed, so a loop of links cannot
    /// make the search endless.
    void SearchFolder(const std::string& folder);

    bool Cancelled() const { return m_cancelled; }
    void ResetCancel() { m_cancelled = false; }

private:
    std::function<bool(const std::string&)> m_scan;
    std::function<std::string()> m_foundLine;
    IPluginSearchWindow* m_window;
    bool m_cancelled = false;
};

} // namespace quiltara
