#pragma once
// What the document's open and save routines do with files, so that the GUI only
// shows dialogs and messages: loading into a picture with progress, the format of a
// save path, the save dialog's proposed name and filter list, and saving a picture.
#include "core/image/DIBSection2.h"
#include "core/image/codecs/Codecs.h"

#include <string>
#include <vector>

namespace quiltara {

class IProgressReporter;

/// A picture loaded from a file as a plain RGB buffer.
struct LoadedPicture {
    Pixels rgb; // width x height x 3, top row first
    int width = 0, height = 0;
    int formatCode = 0;                    // the code it was read with
    std::vector<std::uint8_t> cameraBlock; // the kept APP1 camera block, if any
    Resolution resolution;
    /// A file that ends early opens with what it holds: the warning that says so
    /// ("the file ends early: rows N…M are missing"), empty otherwise.
    std::string warning;
    /// On failure the text to show: the code's own, or what was refused.
    std::string message;
};

/// Loads path (format by content, else by extension). Returns the failure code; a
/// file that gives no picture (GIF, an unknown format) fails with 5.
unsigned LoadPictureFile(const std::string& path, LoadedPicture& out);
/// The same, into a 32-bit picture with the given alpha (out.rgb stays empty). The
/// common BMP is read straight into the picture, without an RGB copy of it.
unsigned LoadPictureFile(const std::string& path, CDIBSection2& picture, std::uint8_t alpha,
                         LoadedPicture& out);

/// What an open has to tell besides its failure code.
struct OpenNotes {
    std::string warning; // after a success: the file ended early (see LoadedPicture)
    std::string message; // after a failure: the text to show
};

/// The open routine's loading step: shows "Loading" (range 100) at 10, loads, 80;
/// on success deletes the picture's swap file, imports the pixels with alpha 0,
/// 100. The progress is ended either way. On failure the picture and the camera
/// block are left as they were. Returns the failure code (text: ErrorText, or the
/// notes' message).
unsigned OpenPictureFile(const std::string& path, CDIBSection2& original,
                         std::vector<std::uint8_t>& cameraBlock, IProgressReporter& progress,
                         OpenNotes* notes = nullptr);

/// The format a file name asks for, the one rule for every save (the document's, the
/// command-line tool's): the extension of the file name, from its last dot, looked up
/// without regard to case, so ".jpg" and ".jpeg" are JPEG and ".tif" and ".tiff" TIFF;
/// 0 when the name has no extension or one that is not in the format table.
int SaveFormatForPath(const std::string& path);
/// "Unknown extnsion\n" followed by the path.
std::string UnknownExtensionText(const std::string& path);

struct SaveResult {
    bool ok = false;
    unsigned code = 0;   // failure code; 0 on success or for an unknown extension
    std::string message; // the text to show on failure
};

/// The save step of the document: shows "Saving" (range 100), exports the picture
/// to RGB, looks the format up by SaveFormatForPath (unknown: the extension text),
/// writes (JPEG with jpegQuality, which the GUI has asked for), 100, ends the
/// progress. With keepAlpha the picture's alpha goes into PNG files. The old file at
/// path is replaced only when the writer succeeded; a failed save leaves it as it was
/// and creates no file, so the caller never needs to remove anything afterwards.
SaveResult SavePictureFile(const CDIBSection2& picture, const std::string& path, int jpegQuality,
                           IProgressReporter& progress, bool keepAlpha = false);

/// What the save dialog starts with.
struct SaveDialogSetup {
    std::string name;      // file name without extension
    std::string extension; // lower case, without the dot; may be empty
    std::string pattern;   // "*." + extension, or "*.png" without one
    std::string filter;    // "Desc (*.x)|*.x|...|" closed by "|"
};

/// The title cut at the first of space, '#', '%', ';', '/', '\' and followed by ".png".
std::string CutTitleForSave(const std::string& title);
/// Builds the dialog's start from the document's path, or (with replace and no path)
/// from its title.
SaveDialogSetup MakeSaveDialogSetup(const std::string& documentPath, const std::string& title,
                                    bool replace);
/// The filter list for an extension pattern ("*.png", "*.jpg", ...).
std::string SaveDialogFilter(const std::string& pattern);

/// The open dialog of the application ("Load image file").
extern const char* const kOpenDialogTitle;
extern const char* const kOpenDialogFilter;
extern const char* const kOpenDialogDefaultName;
/// Title of the document's save dialog.
extern const char* const kSaveDialogTitle;

} // namespace quiltara
