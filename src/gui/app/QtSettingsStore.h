#pragma once
#include "core/base/SettingsStore.h"

#include <QSettings>
#include <memory>

namespace quiltara::gui {

/// The settings store on QSettings: native format under the application name
/// "Quiltara", or an INI file in the program folder when QUILTARA_HOME is set (tests
/// and portable installs keep their settings to themselves).
class CQtSettingsStore final : public ISettingsStore {
public:
    CQtSettingsStore();
    explicit CQtSettingsStore(const QString& iniFile);
    int GetInt(const std::string& section, const std::string& name, int fallback) const override;
    void SetInt(const std::string& section, const std::string& name, int value) override;
    std::string GetString(const std::string& section, const std::string& name,
                          const std::string& fallback) const override;
    void SetString(const std::string& section, const std::string& name,
                   const std::string& value) override;
    void Flush() override;

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace quiltara::gui
