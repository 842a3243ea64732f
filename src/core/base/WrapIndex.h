#pragma once

namespace quiltara {

/// v taken modulo n into 0 ... n - 1: the column or row a coordinate that runs off the
/// tile lands on (negative ones from the far side). n must be positive.
inline int WrapIndex(long long v, int n) {
    const long long r = v % n;
    return int(r < 0 ? r + n : r);
}

} // namespace quiltara
