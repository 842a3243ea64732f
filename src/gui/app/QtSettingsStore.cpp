#include "gui/app/QtSettingsStore.h"

namespace quiltara::gui {

namespace {
QString Key(const std::string& section, const std::string& name) {
    return QString::fromStdString(section) + '/' + QString::fromStdString(name);
}
} // namespace

CQtSettingsStore::CQtSettingsStore()
    : m_settings(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             "Quiltara", "Quiltara")) {}

CQtSettingsStore::CQtSettingsStore(const QString& iniFile)
    : m_settings(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

int CQtSettingsStore::GetInt(const std::string& section, const std::string& name,
                             int fallback) const {
    bool ok = false;
    const int value = m_settings->value(Key(section, name)).toInt(&ok);
    return ok ? value : fallback;
}

void CQtSettingsStore::SetInt(const std::string& section, const std::string& name, int value) {
    m_settings->setValue(Key(section, name), value);
}

std::string CQtSettingsStore::GetString(const std::string& section, const std::string& name,
                                        const std::string& fallback) const {
    const QVariant v = m_settings->value(Key(section, name));
    return v.isValid() ? v.toString().toStdString() : fallback;
}

void CQtSettingsStore::SetString(const std::string& section, const std::string& name,
                                 const std::string& value) {
    m_settings->setValue(Key(section, name), QString::fromStdString(value));
}

void CQtSettingsStore::Flush() {
    m_settings->sync();
}

} // namespace quiltara::gui
