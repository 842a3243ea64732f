#include "CliParse.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace quiltara::cli {

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
