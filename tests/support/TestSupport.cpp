#include "support/TestSupport.h"

#include "core/base/Messages.h"
#include "core/base/ProgramFolders.h"
#include "core/image/DIBSection2.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

namespace quiltara::test {

TempFolder::TempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "quiltara-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    const char* made = mkdtemp(buffer.data());
    m_path = std::string(made ? made : buffer.data()) + "/";
    setenv("QUILTARA_HOME", m_path.c_str(), 1);
    SetProgramFolder(m_path);
    CDIBSection2::SetDefaultSwapFolder(ProgramFolders().program);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    std::filesystem::permissions(m_path, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(m_path, ec);
}

MessageCollector::MessageCollector() {
    SetMessageHandler([this](const std::string& text) { messages.push_back(text); });
}

MessageCollector::~MessageCollector() {
    SetMessageHandler({});
}

void MakePatternPicture(CDIBSection2& pic, int w, int h, std::uint32_t seed) {
    pic.Create(w, h, 32, true);
    std::mt19937 rng(seed);
    std::uint8_t* p = pic.GetBits();
    for (std::size_t i = 0; i < std::size_t(w) * h * 4; ++i) p[i] = std::uint8_t(rng());
}

bool SamePixels(const CDIBSection2& a, const CDIBSection2& b) {
    return a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight() &&
           a.GetBitsPerPixel() == b.GetBitsPerPixel() &&
           std::memcmp(a.GetBits(), b.GetBits(), a.PixelBytes()) == 0;
}

} // namespace quiltara::test
