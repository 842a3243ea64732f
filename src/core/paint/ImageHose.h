#pragma once
// The image hose's editor, without its dialogs: the frames a picture, a film strip or
// a mask picture give, removing frames, the mask a hose shows after editing, and the
// reading and writing of frame pictures.
#include "core/paint/Brush.h"

#include <string>
#include <vector>

namespace quiltara {

class CRuntimeRandom;

/// The registry section and value of the editor's "Show PSP Info" option.
constexpr const char* kHoseSettingsSection = "Nozzle";
constexpr const char* kHoseShowInfoValue = "info";

/// The frame list's entry for a frame: "Image %d", numbered from 1.
std::string HoseFrameLabel(int index);

/// A picture as a hose frame: a picture with its own alpha keeps it, any other gets
/// alpha 255 throughout.
CDIBSection2 HoseFrameFromPicture(const CDIBSection2& picture, bool hasAlpha);

/// "Add Image": appends the picture as a frame (see HoseFrameFromPicture). Returns the
/// new frame's index, or -1 for an empty picture or a full hose (kMaxHoseFrames).
int AddHoseFrame(CBrush& brush, const CDIBSection2& picture, bool hasAlpha);

/// "Remove": deletes frame index; false, changing nothing, when there is no such frame.
bool RemoveHoseFrame(CBrush& brush, int index);

/// "Load Alpha Mask": the picture's brightness (scaled to the frame's size) becomes
/// frame index's alpha, inverted with negative, as "Load Mask..." does for a brush.
/// False when there is no such frame or the picture is empty.
bool LoadHoseFrameAlpha(CBrush& brush, int index, const CDIBSection2& picture, bool negative);

/// "&Film Strip": one frame per column of the picture, left to right, 1 pixel wide and
/// as high as the picture, its pixels from the top row down; the picture's alpha when
/// it has its own, else 255. At most maxFrames frames, from the left.
std::vector<CDIBSection2> FilmStripFrames(const CDIBSection2& picture, bool hasAlpha,
                                          int maxFrames = kMaxHoseFrames);

/// How many more frames the hose takes.
int HoseRoom(const CBrush& brush);

/// Appends frames to the hose, as many as it has room for; returns the index of the
/// last frame (-1 when the hose stays empty).
int AppendHoseFrames(CBrush& brush, std::vector<CDIBSection2> frames);

/// After the editor's OK: the mask becomes the frame the hose gives for its next dab
/// (direction 0, advancing the hose cursor as a dab would), scaled to the width of the
/// widest and the height of the tallest frame; 40 x 40 when there are no frames.
void SetMaskFromHose(CBrush& brush, CRuntimeRandom& random);

/// Reads an image file for the hose's loaders: PNG files keep their alpha (hasAlpha),
/// other formats are read opaque. Returns the reader's failure code (0 on success);
/// message gets the text to show on failure.
unsigned LoadHosePicture(const std::string& path, CDIBSection2& picture, bool& hasAlpha,
                         std::string& message);

/// Writes a frame as PNG with its alpha. Returns the writer's failure code (0 on
/// success); message gets the text to show on failure.
unsigned SaveHoseFrame(const CDIBSection2& frame, const std::string& path, std::string& message);

} // namespace quiltara
