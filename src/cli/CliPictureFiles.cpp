// The command-line tool reads and writes pictures through the program's own open and
// save routines, so that a file name means the same format to both.
#include "CliPictureFiles.h"

#include "CliCommand.h"

#include "core/base/ProgressReporter.h"
#include "core/image/ImageFileRoutines.h"

namespace quiltara::cli {

bool ReadPicture(const std::string& path, CDIBSection2& picture, std::string& error) {
    LoadedPicture loaded;
    const unsigned code = LoadPictureFile(path, picture, 255, loaded);
    if (code != kErrNone) {
        error = path + ": " + loaded.message;
        return false;
    }
    ReportPartialFile(path, loaded.warning);
    return true;
}

bool WritePicture(const std::string& path, const CDIBSection2& picture, bool withAlpha,
                  std::string& error) {
    CNullProgress progress;
    const SaveResult saved = SavePictureFile(picture, path, kCliJpegQuality, progress, withAlpha);
    if (saved.ok) return true;
    // An unknown extension has its own text; failure codes are told with the file.
    error = saved.code != kErrNone ? path + ": " + saved.message : saved.message;
    return false;
}

} // namespace quiltara::cli
