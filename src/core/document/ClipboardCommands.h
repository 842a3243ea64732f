#pragma once
#include "core/image/DIBSection2.h"

#include <string>

namespace quiltara {

class CCanvasModel;

// The clipboard and Original commands of a canvas. The clipboard itself belongs to
// the GUI: it turns the clipboard's bitmap into a picture for the commands that take
// one, and puts the pictures these commands return on the clipboard (nothing when the
// returned picture is empty). Pictures cross the clipboard as colours only, so every
// picture going either way has alpha 255.
//
// Enabling: "&Copy", "Cu&t", "Delete Float" and "Combine with Image" need a float
// (CanCopyFloat); "Copy All", "Select All", "Duplicate" and "Set  as Original" are
// always on; "&Paste", "Paste as New" and "Paste as Original" need a bitmap on the
// clipboard.

bool CanCopyFloat(const CCanvasModel& canvas);

/// "&Copy": the picture for the clipboard, empty without a float.
CDIBSection2 CopyFloat(const CCanvasModel& canvas);
/// "Cu&t": as CopyFloat, then the float and its backup are emptied.
CDIBSection2 CutFloat(CCanvasModel& canvas);
/// "Copy All": the whole working image for the clipboard.
CDIBSection2 CopyAll(const CCanvasModel& canvas);
/// "&Paste": an existing float is merged first; then clip becomes the float, centred
/// on the image with integer halves (negative where it is larger). False, changing
/// nothing, when clip is empty.
bool Paste(CCanvasModel& canvas, const CDIBSection2& clip);
/// "Select All": the float becomes a copy of the working image at (0, 0). An existing
/// float is merged first. The caller then selects the "Arrow" tool.
bool SelectAll(CCanvasModel& canvas);
/// "Paste as New": the new document's Original made from the clipboard picture; an
/// empty clip leaves it as it was (the canvas then shows a white 600 x 600 picture).
/// "Duplicate" is "Copy All", then "Paste as New", then the GUI empties the clipboard.
bool MakeOriginalFromClipboard(CDIBSection2& original, const CDIBSection2& clip);
/// "Paste as Original": clip becomes the document's Original. Returns the text to
/// show, "The image (w,h) from the clipboard was set as Original of current image.",
/// or an empty text when nothing happened (no document or an empty clip).
std::string PasteAsOriginal(CCanvasModel& canvas, const CDIBSection2& clip);
/// "Set  as Original": the Original becomes a copy of the working image and is swapped
/// out. The document then marks its Original as loaded. False without a document.
bool SetAsOriginal(CCanvasModel& canvas);
/// "Delete Float".
bool DeleteFloat(CCanvasModel& canvas);
/// "Combine with Image": merges the float into the image, then commits the text being
/// placed. Enabled with a float or a text (CanCombine).
bool CanCombine(const CCanvasModel& canvas);
bool CombineWithImage(CCanvasModel& canvas);

} // namespace quiltara
