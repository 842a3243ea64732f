#pragma once
#include "core/image/DIBSection2.h"
#include "core/image/ImageFileBuffer.h"
#include "core/image/codecs/FormatTable.h"

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace quiltara::test {

struct CliResult {
    int status = -1;
    std::string output; // stdout and stderr together
};

/// Runs quiltara-cli with arguments (as a shell would split them).
inline CliResult RunCli(const std::string& arguments) {
    const std::string command = std::string(QUILTARA_CLI) + " " + arguments + " 2>&1";
    CliResult r;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return r;
    std::array<char, 4096> buffer;
    while (std::size_t n = std::fread(buffer.data(), 1, buffer.size(), pipe))
        r.output.append(buffer.data(), n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

/// Writes the picture's colours as a PNG file; false when that fails.
inline bool WritePngFile(const std::string& path, const CDIBSection2& picture) {
    CImageFileBuffer buffer;
    if (buffer.Allocate(picture.GetWidth(), picture.GetHeight()) != 0) return false;
    picture.ExportRGB(buffer.LockRGB());
    buffer.Unlock();
    return buffer.Save(path, kFormatPNG) == 0;
}

/// Reads a picture file into picture (opaque); false when it cannot be read.
inline bool ReadPngFile(const std::string& path, CDIBSection2& picture) {
    CImageFileBuffer buffer;
    if (buffer.Load(path) != 0 || !buffer.HasPixels()) return false;
    picture.ImportRGB(buffer.LockRGB(), buffer.Width(), buffer.Height(), 255);
    buffer.Unlock();
    return true;
}

} // namespace quiltara::test
