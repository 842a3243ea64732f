#pragma once
#include <string>
#include <vector>

namespace quiltara {
class CDIBSection2;
}

namespace quiltara::cli {

// Pictures in and out of the image commands. Until the codec layer is in the core the
// tool reads and writes binary Netpbm files: PPM ("P6", red-green-blue) and PAM ("P7",
// RGB or RGB_ALPHA, 8 or 16 bits a sample). Output is PAM with alpha for a ".pam"
// name, otherwise PPM.

/// Reads IN into a 32-bit picture; false with a message on failure.
bool LoadPicture(const std::string& path, CDIBSection2& picture, std::string& error);
bool SavePicture(const std::string& path, const CDIBSection2& picture, std::string& error);

/// Parses a buffer in one of the formats above. Treats the bytes as hostile: sizes
/// are checked against the data before anything is allocated.
bool DecodeNetpbm(const std::vector<unsigned char>& data, CDIBSection2& picture,
                  std::string& error);
std::vector<unsigned char> EncodeNetpbm(const CDIBSection2& picture, bool withAlpha);

/// Strict whole-string integer in [min, max].
bool ParseInt(const std::string& text, long long min, long long max, int& value);
bool ParseDouble(const std::string& text, double& value);

} // namespace quiltara::cli
