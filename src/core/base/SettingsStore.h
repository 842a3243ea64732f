#pragma once
#include <map>
#include <string>
#include <utility>

namespace quiltara {

/// Integers and strings by section and name: the user's settings. The GUI keeps them
/// with QSettings; tests and the command-line tool use the in-memory store.
class ISettingsStore {
public:
    virtual ~ISettingsStore() = default;
    virtual int GetInt(const std::string& section, const std::string& name, int fallback) const = 0;
    virtual void SetInt(const std::string& section, const std::string& name, int value) = 0;
    virtual std::string GetString(const std::string& section, const std::string& name,
                                  const std::string& fallback) const = 0;
    virtual void SetString(const std::string& section, const std::string& name,
                           const std::string& value) = 0;
    /// Makes what was set durable; a no-op for stores that write at once.
    virtual void Flush() {}
};

class CMemorySettingsStore final : public ISettingsStore {
public:
    int GetInt(const std::string& section, const std::string& name, int fallback) const override;
    void SetInt(const std::string& section, const std::string& name, int value) override;
    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& fallback) const override;
    void SetString(const std::string& section, const std::string& name,
                   const std::string& value) override;
    bool Has(const std::string& section, const std::string& name) const;

private:
    using Key = std::pair<std::string, std::string>;
    std::map<Key, int> m_ints;
    std::map<Key, std::string> m_strings;
};

} // namespace quiltara
