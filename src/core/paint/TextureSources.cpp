#include "core/paint/TextureSources.h"

#include "core/image/DIBSection2.h"
#include "core/image/ImageFileRoutines.h"
#include "core/paint/PaintingContext.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace quiltara {

namespace {
std::string Lower(std::string s) {
    for (char& c : s) c = char(std::tolower((unsigned char)c));
    return s;
}

bool IsTextureFile(const std::string& name) {
    static const char* const kExtensions[] = {".jpg", ".bmp", ".png", ".gif",
                                              ".tga", ".tif", ".pcx"};
    const std::string lower = Lower(name);
    const auto dot = lower.rfind('.');
    if (dot == std::string::npos) return false;
    const std::string ext = lower.substr(dot);
    return std::find(std::begin(kExtensions), std::end(kExtensions), ext) != std::end(kExtensions);
}

bool Exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}
} // namespace

std::vector<std::string> TextureListNames(const std::string& folder) {
    std::vector<std::string> files;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code typeError;
        if (it->is_directory(typeError)) continue;
        const std::string name = it->path().filename().string();
        if (name == "Linear Gradient.tmb" || name == "Radial Gradient.tmb" ||
            name == kNoTextureEntry || !IsTextureFile(name))
            continue;
        files.push_back(name);
    }
    // Equal lower-cased names keep the order they were found in.
    std::stable_sort(files.begin(), files.end(), [](const std::string& a, const std::string& b) {
        return Lower(a) < Lower(b);
    });
    std::vector<std::string> names;
    names.reserve(files.size() + 2);
    names.push_back(kNoTextureEntry);
    names.insert(names.end(), files.begin(), files.end());
    names.push_back(kCustomTextureEntry);
    return names;
}

bool ReadTexturePicture(const std::string& path, CDIBSection2& picture) {
    LoadedPicture loaded;
    if (LoadPictureFile(path, loaded) != 0 || loaded.width <= 0 || loaded.height <= 0) return false;
    picture.ImportRGB(loaded.rgb.data(), loaded.width, loaded.height, 255);
    return !picture.IsEmpty();
}

bool LoadTexture(CPaintingContext& context, const std::string& name, const std::string& folder) {
    if (name == kCustomTextureEntry) {
        if (context.customTexture.IsEmpty()) return false;
        CopyPicture(context.texture, context.customTexture);
    } else {
        CDIBSection2 picture;
        if (!ReadTexturePicture(folder + name, picture)) return false;
        context.texture = std::move(picture);
    }
    context.textureDefined = true;
    return true;
}

bool ApplyTextureBar(const CTextureBarState& bar, CPaintingContext& context,
                     const std::string& folder) {
    if (bar.listIndex > 0) {
        if (bar.reload || !context.textureDefined) LoadTexture(context, bar.entry, folder);
    } else {
        context.textureDefined = false;
    }
    context.textureStrength = std::clamp(bar.strength, 0, 255);
    const bool centreChanged = context.centreSampling != bar.centre;
    context.centreSampling = bar.centre;
    context.backColor = bar.backColor;
    context.SetForeColor(bar.foreColor);
    context.textureAligned = bar.align;
    context.textureMode = !bar.screen ? 0 : bar.foreBack ? 2 : 1;
    return centreChanged;
}

std::string CustomTextureSavePath(const std::string& folder, const std::string& name) {
    std::string stem = folder + name;
    for (int n = 1; Exists(stem + ".png") || Exists(stem + ".jpg"); ++n)
        stem = folder + name + std::to_string(n);
    return stem + ".png";
}

} // namespace quiltara
