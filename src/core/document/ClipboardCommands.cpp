#include "core/document/ClipboardCommands.h"

#include "core/document/CanvasModel.h"

#include <cstdio>
#include <vector>

namespace quiltara {

namespace {

// The clipboard carries plain red-green-blue pixels: a picture leaving or arriving
// goes through that buffer and comes out with alpha 255.
CDIBSection2 ThroughRGB(const CDIBSection2& source) {
    CDIBSection2 out;
    if (source.IsEmpty() || source.GetWidth() <= 0 || source.GetHeight() <= 0) return out;
    std::vector<std::uint8_t> rgb(std::size_t(source.GetWidth()) * std::size_t(source.GetHeight()) *
                                  3);
    source.ExportRGB(rgb.data());
    out.ImportRGB(rgb.data(), source.GetWidth(), source.GetHeight(), 0);
    out.SetAlpha(255);
    return out;
}

} // namespace

bool CanCopyFloat(const CCanvasModel& canvas) {
    return canvas.HasFloat();
}

CDIBSection2 CopyFloat(const CCanvasModel& canvas) {
    return ThroughRGB(canvas.FloatImage());
}

CDIBSection2 CutFloat(CCanvasModel& canvas) {
    CDIBSection2 out = CopyFloat(canvas);
    canvas.DeleteFloat();
    return out;
}

CDIBSection2 CopyAll(const CCanvasModel& canvas) {
    return ThroughRGB(canvas.WorkingImage());
}

bool Paste(CCanvasModel& canvas, const CDIBSection2& clip) {
    CDIBSection2 picture = ThroughRGB(clip);
    if (picture.IsEmpty()) return false;
    canvas.MergeFloat();
    canvas.FloatImage() = std::move(picture);
    canvas.FloatBackup().Copy(&canvas.FloatImage());
    canvas.floatX = (canvas.WorkingImage().GetWidth() - canvas.FloatImage().GetWidth()) / 2;
    canvas.floatY = (canvas.WorkingImage().GetHeight() - canvas.FloatImage().GetHeight()) / 2;
    return true;
}

bool SelectAll(CCanvasModel& canvas) {
    if (canvas.WorkingImage().IsEmpty()) return false;
    // A float not yet combined would otherwise vanish with its pixels.
    canvas.MergeFloat();
    canvas.FloatImage().Copy(&canvas.WorkingImage());
    canvas.FloatBackup().Copy(&canvas.WorkingImage());
    canvas.floatX = 0;
    canvas.floatY = 0;
    return true;
}

bool MakeOriginalFromClipboard(CDIBSection2& original, const CDIBSection2& clip) {
    CDIBSection2 picture = ThroughRGB(clip);
    if (picture.IsEmpty()) return false;
    TellPictureError(original.Copy(&picture), original);
    return true;
}

std::string PasteAsOriginal(CCanvasModel& canvas, const CDIBSection2& clip) {
    if (!canvas.originalRef || clip.IsEmpty()) return {};
    const int w = clip.GetWidth(), h = clip.GetHeight();
    std::vector<std::uint8_t> rgb(std::size_t(w) * std::size_t(h) * 3);
    clip.ExportRGB(rgb.data());
    CDIBSection2& original = *canvas.originalRef;
    const bool keptOnDisk = original.IsSwappedOut();
    original.ImportRGB(rgb.data(), w, h, 0);
    // The document keeps its Original on disk; the new one goes there too.
    if (keptOnDisk) TellPictureError(original.SwapOut(), original);
    char size[32];
    std::snprintf(size, sizeof size, "(%d,%d)", w, h);
    return std::string("The image ") + size +
           " from the clipboard was set as Original of current image.";
}

bool SetAsOriginal(CCanvasModel& canvas) {
    if (!canvas.originalRef || canvas.WorkingImage().IsEmpty()) return false;
    CDIBSection2& original = *canvas.originalRef;
    PictureError error = original.Copy(&canvas.WorkingImage());
    if (error == PictureError::kNone) error = original.SwapOut();
    TellPictureError(error, original);
    return true;
}

bool DeleteFloat(CCanvasModel& canvas) {
    return canvas.DeleteFloat();
}

bool CanCombine(const CCanvasModel& canvas) {
    return canvas.HasFloat() || canvas.HasText();
}

bool CombineWithImage(CCanvasModel& canvas) {
    const bool merged = canvas.MergeFloat();
    const bool committed = canvas.CommitText();
    return merged || committed;
}

} // namespace quiltara
