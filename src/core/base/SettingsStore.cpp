#include "core/base/SettingsStore.h"

namespace quiltara {

int CMemorySettingsStore::GetInt(const std::string& section, const std::string& name,
                                 int fallback) const {
    auto it = m_ints.find({section, name});
    return it == m_ints.end() ? fallback : it->second;
}

void CMemorySettingsStore::SetInt(const std::string& section, const std::string& name, int value) {
    m_ints[{section, name}] = value;
}

std::string CMemorySettingsStore::GetString(const std::string& section, const std::string& name,
                                            const std::string& fallback) const {
    auto it = m_strings.find({section, name});
    return it == m_strings.end() ? fallback : it->second;
}

void CMemorySettingsStore::SetString(const std::string& section, const std::string& name,
                                     const std::string& value) {
    m_strings[{section, name}] = value;
}

bool CMemorySettingsStore::Has(const std::string& section, const std::string& name) const {
    return m_ints.count({section, name}) || m_strings.count({section, name});
}

} // namespace quiltara
