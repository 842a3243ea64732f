#include "core/paint/ImageHose.h"

#include "core/image/ImageFileBuffer.h"
#include "core/image/codecs/FormatTable.h"
#include "core/paint/BrushPictures.h"
#include "core/paint/BrushStamp.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <new>

namespace quiltara {

namespace {

constexpr int kNoFrameMaskSide = 40;

bool IsFrameIndex(const CBrush& brush, int index) {
    return index >= 0 && std::size_t(index) < brush.hoseFrames.size();
}

} // namespace

std::string HoseFrameLabel(int index) {
    char text[32];
    std::snprintf(text, sizeof text, "Image %d", index + 1);
    return text;
}

CDIBSection2 HoseFrameFromPicture(const CDIBSection2& picture, bool hasAlpha) {
    CDIBSection2 frame;
    if (picture.IsEmpty()) return frame;
    if (picture.GetBitsPerPixel() == 32) {
        frame.Copy(&picture);
    } else {
        // Pictures of other depths come through their colours.
        std::vector<std::uint8_t> rgb(std::size_t(picture.GetWidth()) * picture.GetHeight() * 3);
        picture.ExportRGB(rgb.data());
        frame.ImportRGB(rgb.data(), picture.GetWidth(), picture.GetHeight(), 255);
        hasAlpha = false;
    }
    if (!hasAlpha) frame.SetAlpha(255);
    return frame;
}

int HoseRoom(const CBrush& brush) {
    return std::max(0, kMaxHoseFrames - int(brush.hoseFrames.size()));
}

int AddHoseFrame(CBrush& brush, const CDIBSection2& picture, bool hasAlpha) {
    if (HoseRoom(brush) < 1) return -1;
    CDIBSection2 frame = HoseFrameFromPicture(picture, hasAlpha);
    if (frame.IsEmpty()) return -1;
    brush.hoseFrames.push_back(std::move(frame));
    return int(brush.hoseFrames.size()) - 1;
}

bool RemoveHoseFrame(CBrush& brush, int index) {
    if (!IsFrameIndex(brush, index)) return false;
    brush.hoseFrames.erase(brush.hoseFrames.begin() + index);
    // The cursor names the next frame of a sequential hose; keep it inside the list.
    if (brush.hoseCursor >= int(brush.hoseFrames.size())) brush.hoseCursor = 0;
    return true;
}

bool LoadHoseFrameAlpha(CBrush& brush, int index, const CDIBSection2& picture, bool negative) {
    if (!IsFrameIndex(brush, index) || picture.IsEmpty()) return false;
    // The frame takes the place of a brush mask for the mask rule, and comes back.
    CBrush holder;
    holder.mask = std::move(brush.hoseFrames[std::size_t(index)]);
    LoadBrushMask(holder, picture, negative);
    brush.hoseFrames[std::size_t(index)] = std::move(holder.mask);
    return true;
}

std::vector<CDIBSection2> FilmStripFrames(const CDIBSection2& picture, bool hasAlpha,
                                          int maxFrames) {
    std::vector<CDIBSection2> frames;
    const CDIBSection2 source = HoseFrameFromPicture(picture, hasAlpha);
    if (source.IsEmpty()) return frames;
    const int w = std::min(source.GetWidth(), std::max(maxFrames, 0)), h = source.GetHeight();
    frames.reserve(std::size_t(w));
    for (int x = 0; x < w; ++x) {
        CDIBSection2 column;
        column.Create(1, h, 32, true);
        for (int y = 0; y < h; ++y) std::memcpy(column.GetRow(y), source.GetRow(y) + x * 4, 4);
        frames.push_back(std::move(column));
    }
    return frames;
}

int AppendHoseFrames(CBrush& brush, std::vector<CDIBSection2> frames) {
    for (CDIBSection2& frame : frames)
        if (!frame.IsEmpty() && HoseRoom(brush) > 0) brush.hoseFrames.push_back(std::move(frame));
    return int(brush.hoseFrames.size()) - 1;
}

void SetMaskFromHose(CBrush& brush, CRuntimeRandom& random) {
    int w = 0, h = 0;
    for (const CDIBSection2& frame : brush.hoseFrames) {
        w = std::max(w, frame.GetWidth());
        h = std::max(h, frame.GetHeight());
    }
    if (brush.hoseFrames.empty()) w = h = kNoFrameMaskSide;
    const CDIBSection2& next = StampForDab(brush, 0, random);
    CDIBSection2 mask;
    if (next.IsEmpty()) {
        mask.Create(w, h, 32, true);
        std::memset(mask.GetBits(), 0, mask.PixelBytes());
    } else {
        ScalePictureNearest(next, w, h, mask);
    }
    brush.mask = std::move(mask);
}

unsigned LoadHosePicture(const std::string& path, CDIBSection2& picture, bool& hasAlpha,
                         std::string& message) {
    CImageFileBuffer buffer;
    buffer.keepAlpha = true;
    const unsigned code = buffer.Load(path);
    if (code != 0 || !buffer.HasPixels()) {
        message = code != 0 ? buffer.FailureText(code) : "The file holds no picture.";
        return code != 0 ? code : 5;
    }
    try {
        hasAlpha = buffer.IsRGBA();
        if (hasAlpha)
            picture.ImportRGBA(buffer.LockRGBA(), buffer.Width(), buffer.Height());
        else
            picture.ImportRGB(buffer.LockRGB(), buffer.Width(), buffer.Height(), 255);
        buffer.Unlock();
    } catch (const std::bad_alloc&) {
        message = "Not enough memory for the picture.";
        return 1;
    }
    return 0;
}

unsigned SaveHoseFrame(const CDIBSection2& frame, const std::string& path, std::string& message) {
    if (frame.IsEmpty() || frame.GetBitsPerPixel() != 32) {
        message = "There is no frame to save.";
        return 5;
    }
    CImageFileBuffer buffer;
    buffer.SetFromRGBA(frame.GetBits(), frame.GetWidth(), frame.GetHeight());
    const unsigned code = buffer.Save(path, kFormatPNG);
    if (code != 0) message = CImageFileBuffer::ErrorText(code);
    return code;
}

} // namespace quiltara
