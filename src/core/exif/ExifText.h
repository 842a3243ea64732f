#pragma once
#include <cstdint>
#include <string>

namespace quiltara {

/// The longest value text of a camera-information entry; longer texts are cut here.
inline constexpr std::size_t kExifValueTextMax = 4199;
/// The longest label of a camera-information entry.
inline constexpr std::size_t kExifLabelMax = 29;

/// Appends printf-style text to out, never letting out grow past limit characters.
void AppendFormat(std::string& out, std::size_t limit, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

/// The ratio formatter of the camera report. Writes (appends to out, bounded by
/// limit) "%d/%d" when the numerator is below 2, else the quotient with two decimals,
/// and returns the quotient. A zero denominator writes nothing and returns 0.
double FormatRatio(std::int64_t numerator, std::int64_t denominator, std::string& out,
                   std::size_t limit = kExifValueTextMax);

} // namespace quiltara
