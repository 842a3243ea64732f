#pragma once
// Pictures and files for the codec tests.
#include "core/image/codecs/Codecs.h"

#include <cstdint>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace quiltara::test {

/// A smooth picture (gradients plus a little noise): what photographs look like to a
/// lossy coder.
inline Pixels SmoothRGB(int w, int h, std::uint32_t seed = 7) {
    Pixels p(std::size_t(w) * h * 3);
    std::mt19937 rng(seed);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            std::uint8_t* d = &p[(std::size_t(y) * w + x) * 3];
            d[0] = std::uint8_t(x * 255 / std::max(1, w - 1));
            d[1] = std::uint8_t(y * 255 / std::max(1, h - 1));
            d[2] = std::uint8_t(128 + int(rng() % 9) - 4);
        }
    return p;
}

/// Every byte random: no two neighbours alike, so every run-length path is taken.
inline Pixels NoiseRGB(int w, int h, int channels = 3, std::uint32_t seed = 3) {
    Pixels p(std::size_t(w) * h * channels);
    std::mt19937 rng(seed);
    for (auto& b : p) b = std::uint8_t(rng());
    return p;
}

/// A picture of exactly `colors` distinct colours, some in long runs.
inline Pixels FewColoursRGB(int w, int h, int colors, std::uint32_t seed = 5) {
    std::mt19937 rng(seed);
    std::vector<std::uint32_t> table(static_cast<std::size_t>(colors));
    for (int i = 0; i < colors; ++i)
        table[std::size_t(i)] = std::uint32_t(i * 0x010305 + 0x102030) & 0xFFFFFF;
    Pixels p(std::size_t(w) * h * 3);
    for (std::size_t i = 0; i < std::size_t(w) * h; ++i) {
        const std::uint32_t c =
            i < std::size_t(colors) ? table[i] : table[(i / 7 + rng() % 2) % std::size_t(colors)];
        p[3 * i] = std::uint8_t(c >> 16), p[3 * i + 1] = std::uint8_t(c >> 8),
              p[3 * i + 2] = std::uint8_t(c);
    }
    return p;
}

inline void WriteFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline std::vector<std::uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
}

/// Largest per-byte difference, or 256 when the sizes differ.
inline int MaxDifference(const Pixels& a, const Pixels& b) {
    if (a.size() != b.size()) return 256;
    int worst = 0;
    for (std::size_t i = 0; i < a.size(); ++i)
        worst = std::max(worst, std::abs(int(a[i]) - int(b[i])));
    return worst;
}

inline double MeanDifference(const Pixels& a, const Pixels& b) {
    if (a.size() != b.size() || a.empty()) return 256;
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += std::abs(int(a[i]) - int(b[i]));
    return sum / double(a.size());
}

/// The gray picture spread to RGB.
template <class Gray> Pixels GrayToRGB(const Gray& gray) {
    Pixels p(gray.size() * 3);
    for (std::size_t i = 0; i < gray.size(); ++i) p[3 * i] = p[3 * i + 1] = p[3 * i + 2] = gray[i];
    return p;
}

/// Little helpers to build files byte by byte.
struct Bytes {
    std::vector<std::uint8_t> v;
    Bytes& u8(unsigned x) {
        v.push_back(std::uint8_t(x));
        return *this;
    }
    Bytes& le16(unsigned x) { return u8(x & 255).u8(x >> 8 & 255); }
    Bytes& le32(std::uint32_t x) { return le16(x & 0xFFFF).le16(x >> 16); }
    Bytes& be16(unsigned x) { return u8(x >> 8 & 255).u8(x & 255); }
    Bytes& be32(std::uint32_t x) { return be16(x >> 16).be16(x & 0xFFFF); }
    Bytes& str(const char* s) {
        while (*s) u8(std::uint8_t(*s++));
        return *this;
    }
    Bytes& raw(const std::vector<std::uint8_t>& b) {
        v.insert(v.end(), b.begin(), b.end());
        return *this;
    }
    Bytes& fill(std::size_t n, unsigned x) {
        v.insert(v.end(), n, std::uint8_t(x));
        return *this;
    }
};

} // namespace quiltara::test
