#pragma once
#include <string>

namespace quiltara::cli {

/// Strict whole-string integer in [min, max].
bool ParseInt(const std::string& text, long long min, long long max, int& value);
/// Strict whole-string finite number.
bool ParseDouble(const std::string& text, double& value);

} // namespace quiltara::cli
