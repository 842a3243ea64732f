#include "CliImageFile.h"

#include "image/DIBSection2.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>

namespace quiltara::cli {

namespace {

// Largest picture the tool takes from a file: 2^28 pixels (1 GB as 32-bit pixels).
constexpr unsigned long long kMaxPixels = 1ull << 28;
constexpr unsigned long long kMaxSide = 1u << 20;

class Cursor {
public:
    explicit Cursor(const std::vector<unsigned char>& d) : m_data(d) {}
    bool AtEnd() const { return m_pos >= m_data.size(); }
    std::size_t Pos() const { return m_pos; }
    void SkipSpaceAndComments() {
        while (!AtEnd()) {
            if (m_data[m_pos] == '#') {
                while (!AtEnd() && m_data[m_pos] != '\n') ++m_pos;
            } else if (std::isspace(m_data[m_pos])) {
                ++m_pos;
            } else {
                return;
            }
        }
    }
    // A token of at most 64 non-space characters.
    bool Token(std::string& out) {
        SkipSpaceAndComments();
        out.clear();
        while (!AtEnd() && !std::isspace(m_data[m_pos]) && out.size() < 64)
            out += char(m_data[m_pos++]);
        return !out.empty();
    }
    bool Number(unsigned long long max, unsigned long long& value) {
        std::string t;
        if (!Token(t)) return false;
        value = 0;
        for (char c : t) {
            if (c < '0' || c > '9') return false;
            value = value * 10 + unsigned(c - '0');
            if (value > max) return false;
        }
        return true;
    }
    // Exactly one white-space character ends a PPM header.
    bool SingleSpace() {
        if (AtEnd() || !std::isspace(m_data[m_pos])) return false;
        ++m_pos;
        return true;
    }
    bool RestOfLine(std::string& out) {
        out.clear();
        while (!AtEnd() && m_data[m_pos] != '\n' && out.size() < 256) out += char(m_data[m_pos++]);
        if (AtEnd()) return false;
        ++m_pos;
        return true;
    }

private:
    const std::vector<unsigned char>& m_data;
    std::size_t m_pos = 0;
};

bool FillPicture(const std::vector<unsigned char>& data, std::size_t offset, unsigned long long w,
                 unsigned long long h, unsigned depth, unsigned long long maxval,
                 CDIBSection2& picture, std::string& error) {
    if (w == 0 || h == 0 || w > kMaxSide || h > kMaxSide || w * h > kMaxPixels) {
        error = "picture size out of range";
        return false;
    }
    if (maxval == 0 || maxval > 65535) {
        error = "bad maximum sample value";
        return false;
    }
    const unsigned bytesPerSample = maxval > 255 ? 2 : 1;
    const unsigned long long need = w * h * depth * bytesPerSample;
    if (offset > data.size() || data.size() - offset < need) {
        error = "file is shorter than its picture";
        return false;
    }
    picture.Create(int(w), int(h), 32, true);
    const unsigned char* s = data.data() + offset;
    for (unsigned long long y = 0; y < h; ++y) {
        std::uint8_t* row = picture.GetRow(int(y));
        for (unsigned long long x = 0; x < w; ++x) {
            unsigned v[4] = {0, 0, 0, unsigned(maxval)};
            for (unsigned c = 0; c < depth; ++c, s += bytesPerSample)
                v[c] = bytesPerSample == 2 ? unsigned(s[0]) << 8 | s[1] : s[0];
            auto scale = [maxval](unsigned value) {
                return std::uint8_t(
                    std::min<unsigned long long>(255, (value * 255ull + maxval / 2) / maxval));
            };
            row[x * 4 + 0] = scale(v[2]);
            row[x * 4 + 1] = scale(v[1]);
            row[x * 4 + 2] = scale(v[0]);
            row[x * 4 + 3] = depth == 4 ? scale(v[3]) : 255;
        }
    }
    return true;
}

} // namespace

bool DecodeNetpbm(const std::vector<unsigned char>& data, CDIBSection2& picture,
                  std::string& error) {
    Cursor c(data);
    std::string magic;
    if (data.size() < 2 || data[0] != 'P' || !c.Token(magic)) {
        error = "not a PPM or PAM file";
        return false;
    }
    if (magic == "P6") {
        unsigned long long w, h, maxval;
        if (!c.Number(kMaxSide, w) || !c.Number(kMaxSide, h) || !c.Number(65535, maxval) ||
            !c.SingleSpace()) {
            error = "bad PPM header";
            return false;
        }
        return FillPicture(data, c.Pos(), w, h, 3, maxval, picture, error);
    }
    if (magic == "P7") {
        unsigned long long w = 0, h = 0, depth = 0, maxval = 0;
        std::string tupleType, line;
        if (!c.RestOfLine(line)) {
            error = "bad PAM header";
            return false;
        }
        for (int lines = 0;; ++lines) {
            std::string key;
            if (lines > 1000 || !c.Token(key)) {
                error = "bad PAM header";
                return false;
            }
            if (key == "ENDHDR") {
                if (!c.RestOfLine(line)) {
                    error = "bad PAM header";
                    return false;
                }
                break;
            }
            bool ok = true;
            if (key == "WIDTH")
                ok = c.Number(kMaxSide, w);
            else if (key == "HEIGHT")
                ok = c.Number(kMaxSide, h);
            else if (key == "DEPTH")
                ok = c.Number(16, depth);
            else if (key == "MAXVAL")
                ok = c.Number(65535, maxval);
            else if (key == "TUPLTYPE")
                ok = c.Token(tupleType);
            else
                ok = c.RestOfLine(line);
            if (!ok) {
                error = "bad PAM header";
                return false;
            }
        }
        if (!((depth == 3 && tupleType == "RGB") || (depth == 4 && tupleType == "RGB_ALPHA"))) {
            error = "only RGB and RGB_ALPHA PAM files are read";
            return false;
        }
        return FillPicture(data, c.Pos(), w, h, unsigned(depth), maxval, picture, error);
    }
    error = "not a binary PPM (P6) or PAM (P7) file";
    return false;
}

std::vector<unsigned char> EncodeNetpbm(const CDIBSection2& picture, bool withAlpha) {
    const int w = picture.GetWidth(), h = picture.GetHeight();
    std::string header = withAlpha
                             ? "P7\nWIDTH " + std::to_string(w) + "\nHEIGHT " + std::to_string(h) +
                                   "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n"
                             : "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    std::vector<unsigned char> out(header.begin(), header.end());
    out.reserve(out.size() + std::size_t(w) * std::size_t(h) * (withAlpha ? 4 : 3));
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = picture.GetRow(y);
        for (int x = 0; x < w; ++x) {
            out.push_back(row[x * 4 + 2]);
            out.push_back(row[x * 4 + 1]);
            out.push_back(row[x * 4 + 0]);
            if (withAlpha) out.push_back(row[x * 4 + 3]);
        }
    }
    return out;
}

bool LoadPicture(const std::string& path, CDIBSection2& picture, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path;
        return false;
    }
    std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (!DecodeNetpbm(data, picture, error)) {
        error = path + ": " + error;
        return false;
    }
    return true;
}

bool SavePicture(const std::string& path, const CDIBSection2& picture, std::string& error) {
    if (picture.IsEmpty() || picture.GetBitsPerPixel() != 32) {
        error = "nothing to write";
        return false;
    }
    const bool pam = path.size() >= 4 && path.compare(path.size() - 4, 4, ".pam") == 0;
    const std::vector<unsigned char> data = EncodeNetpbm(picture, pam);
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out ||
        !out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size())) ||
        !out.flush()) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

bool ParseInt(const std::string& text, long long min, long long max, int& value) {
    if (text.empty() || text.size() > 20) return false;
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (errno || *end || v < min || v > max) return false;
    value = int(v);
    return true;
}

bool ParseDouble(const std::string& text, double& value) {
    if (text.empty() || text.size() > 64) return false;
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (*end || !std::isfinite(v)) return false;
    value = v;
    return true;
}

} // namespace quiltara::cli
