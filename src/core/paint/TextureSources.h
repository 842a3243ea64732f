#pragma once
// The texture half of the painting context as the "Color & Texture" bar drives it: the
// texture list of the textures folder, loading an entry, reading the bar's controls
// into the context, and the file name a custom texture is saved under.
#include "core/base/ColorRef.h"

#include <string>
#include <vector>

namespace quiltara {

class CDIBSection2;
class CPaintingContext;

constexpr const char* kNoTextureEntry = "No Texture.bmp";
constexpr const char* kCustomTextureEntry = "Custom Texture";
constexpr const char* kNoCustomTextureText =
    "There is no custom texture defined.\nPlease use Texture Pick first";
constexpr const char* kTextureNameTitle = "Enter Texture Name";
constexpr const char* kTextureNamePrompt = "The texture will be permanently saved under this "
                                           "name and  it will always appear in the Texture "
                                           "list box.";
constexpr const char* kProposedTextureName = "MyTexture";

/// "No Texture.bmp", then the picture files of folder (".jpg", ".bmp", ".png", ".gif",
/// ".tga", ".tif", ".pcx" in any case; no directories, no "No Texture.bmp" and no
/// gradient files) sorted by their lower-cased names, then "Custom Texture". A folder
/// that cannot be read gives the two fixed entries only.
std::vector<std::string> TextureListNames(const std::string& folder);

/// Reads a picture file into picture (32 bits, alpha 255). False, and picture
/// unchanged, when it cannot be read.
bool ReadTexturePicture(const std::string& path, CDIBSection2& picture);

/// Load texture: "Custom Texture" copies the custom texture when there is one; another
/// name is read from folder. Either sets the texture-defined flag; when nothing could
/// be had the texture and the flag stay as they were. Returns whether it loaded.
bool LoadTexture(CPaintingContext& context, const std::string& name, const std::string& folder);

/// The bar's controls.
struct CTextureBarState {
    int listIndex = 0;
    std::string entry;  // the list entry's name
    bool reload = true; // false: the entry is the one loaded already (a slider moved)
    int strength = 200;
    bool screen = false;
    bool foreBack = false; // "F-B"
    bool align = true;
    bool centre = false; // "CL"
    ColorRef foreColor = 0x0000FF;
    ColorRef backColor = 0;
};

/// Reads the bar into the context: entry 0 clears the texture-defined flag, any other
/// entry is loaded; strength, alignment, centre sampling, the texture mode (0, 1 with
/// "Screen", 2 with "Screen" and "F-B") and both colours (recolouring the brush).
/// Returns true when centre sampling changed (the dependent bars are refreshed then).
bool ApplyTextureBar(const CTextureBarState& bar, CPaintingContext& context,
                     const std::string& folder);

/// The path "Save..." writes the custom texture to: the first of folder + name,
/// name + "1", name + "2", ... for which neither ".png" nor ".jpg" exists, with ".png".
std::string CustomTextureSavePath(const std::string& folder, const std::string& name);

} // namespace quiltara
