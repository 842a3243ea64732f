#include "core/base/AppSettings.h"

#include "core/base/SettingsStore.h"

namespace quiltara {

namespace {
// One row of the table: the key and where the value lives.
struct IntKey {
    const char* name;
    int CAppSettings::*field;
};
struct StringKey {
    const char* name;
    std::string CAppSettings::*field;
};

constexpr IntKey kIntKeys[] = {
    {"DPI", &CAppSettings::dpi},
    {"Print", &CAppSettings::printMode},
    {"PrintSzW", &CAppSettings::printWidth},
    {"PrintSzH", &CAppSettings::printHeight},
    {"Undo", &CAppSettings::undoLevels},
    {"StampAl", &CAppSettings::stampAligned},
    {"StampFB", &CAppSettings::stampFeedback},
    {"StampWR", &CAppSettings::stampWrap},
    {"BrushNo", &CAppSettings::brushNo},
    {"AirNo", &CAppSettings::airNo},
    {"PenNo", &CAppSettings::penNo},
    {"StampNo", &CAppSettings::stampNo},
    {"RetNo", &CAppSettings::retouchNo},
    {"HoseNo", &CAppSettings::hoseNo},
    {"OilNo", &CAppSettings::oilNo},
    {"ShowExif", &CAppSettings::showExif},
    {"Tablet", &CAppSettings::tablet},
};

// "Stamps" is missing on purpose: it is written at exit but the stamp library is
// always "default.brs" at start.
constexpr StringKey kStringKeys[] = {
    {"Brushes", &CAppSettings::brushLibrary},     {"Pens", &CAppSettings::penLibrary},
    {"Airbrush", &CAppSettings::airbrushLibrary}, {"Retouch", &CAppSettings::retouchLibrary},
    {"Nozzle", &CAppSettings::nozzleLibrary},     {"Oils", &CAppSettings::naturalLibrary},
};
} // namespace

void CAppSettings::Load(const ISettingsStore& store) {
    const CAppSettings defaults;
    for (const auto& key : kIntKeys)
        this->*key.field = store.GetInt(kSection, key.name, defaults.*key.field);
    for (const auto& key : kStringKeys)
        this->*key.field = store.GetString(kSection, key.name, defaults.*key.field);
    stampLibrary = defaults.stampLibrary;
    backColor = ColorRef(store.GetInt(kSection, "BackCLR", int(defaults.backColor)));
    foreColor = ColorRef(store.GetInt(kSection, "ForeCLR", int(defaults.foreColor)));
    newWidth = store.GetInt("New", "Width", defaults.newWidth);
    newHeight = store.GetInt("New", "Height", defaults.newHeight);
    newColor = ColorRef(store.GetInt("New", "Color", int(defaults.newColor)));
    documentPath = store.GetString("Document", "Path", defaults.documentPath);
}

void CAppSettings::Save(ISettingsStore& store, const std::string& programFolder) const {
    for (const auto& key : kIntKeys) store.SetInt(kSection, key.name, this->*key.field);
    for (const auto& key : kStringKeys) store.SetString(kSection, key.name, this->*key.field);
    store.SetString(kSection, "Stamps", stampLibrary);
    store.SetInt(kSection, "BackCLR", int(backColor));
    store.SetInt(kSection, "ForeCLR", int(foreColor));
    store.SetInt("New", "Width", newWidth);
    store.SetInt("New", "Height", newHeight);
    store.SetInt("New", "Color", int(newColor));
    store.SetString("Document", "Path", documentPath);
    std::string home = programFolder;
    if (home.empty() || home.back() != '/') home += '/';
    store.SetString("App", "home", home);
    store.Flush();
}

} // namespace quiltara
