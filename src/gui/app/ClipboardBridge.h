#pragma once
#include "core/image/DIBSection2.h"

namespace quiltara::gui {

/// Moves pictures between the system clipboard and the core (colours only).
/// Puts the picture on the clipboard; nothing for an empty picture.
void PutPictureOnClipboard(const CDIBSection2& picture);
/// The clipboard's picture; false (picture untouched) when there is none.
bool TakePictureFromClipboard(CDIBSection2& picture);
bool ClipboardHasPicture();
void EmptyClipboard();

} // namespace quiltara::gui
