#include "core/exif/ExifText.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

namespace quiltara {

void AppendFormat(std::string& out, std::size_t limit, const char* format, ...) {
    if (out.size() >= limit) return;
    char buffer[256];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (n <= 0) return;
    std::string piece;
    if (std::size_t(n) < sizeof buffer) {
        piece.assign(buffer, std::size_t(n));
    } else {
        std::vector<char> big(std::size_t(n) + 1);
        va_start(args, format);
        std::vsnprintf(big.data(), big.size(), format, args);
        va_end(args);
        piece.assign(big.data(), std::size_t(n));
    }
    out.append(piece, 0, limit - out.size());
}

double FormatRatio(std::int64_t numerator, std::int64_t denominator, std::string& out,
                   std::size_t limit) {
    if (denominator == 0) return 0;
    const double ratio = double(numerator) / double(denominator);
    if (numerator < 2)
        AppendFormat(out, limit, "%lld/%lld", static_cast<long long>(numerator),
                     static_cast<long long>(denominator));
    else
        AppendFormat(out, limit, "%.2lf", ratio);
    return ratio;
}

} // namespace quiltara
