#pragma once
#include "core/image/DIBSection2.h"

#include <cstdint>
#include <string>
#include <vector>

namespace quiltara::test {

/// A fresh folder below the system's temporary folder, removed with everything in
/// it when the object goes. Also points QUILTARA_HOME and the program folder at it.
class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::string& Path() const { return m_path; } // ends in "/"
    std::string File(const std::string& name) const { return m_path + name; }

private:
    std::string m_path;
};

/// Collects the texts the core shows to the user while it lives.
class MessageCollector {
public:
    MessageCollector();
    ~MessageCollector();
    std::vector<std::string> messages;
};

/// A 32-bit picture of w x h filled with a deterministic pattern: every pixel
/// different from its neighbours, alpha varying too.
void MakePatternPicture(CDIBSection2& pic, int w, int h, std::uint32_t seed = 1);
/// Byte-for-byte equal size and pixels.
bool SamePixels(const CDIBSection2& a, const CDIBSection2& b);

} // namespace quiltara::test
