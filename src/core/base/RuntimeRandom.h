#pragma once
#include <cstdint>

namespace quiltara {

/// The program's random generator: numbers 0 ... 32767 from the classic linear
/// congruential sequence, so that results (temporary names, "Random" filter
/// parameters, noise tables) are the same on every platform for the same seed.
class CRuntimeRandom {
public:
    static constexpr int kMax = 32767;
    explicit CRuntimeRandom(std::uint32_t seed = 1) : m_state(seed) {}
    void Seed(std::uint32_t seed) { m_state = seed; }
    int Next() {
        m_state = m_state * 214013u + 2531011u;
        return int((m_state >> 16) & 0x7FFF);
    }
    /// 0 ... 1, the generator's number scaled by 1/32767.
    double NextUnit() { return Next() / double(kMax); }

private:
    std::uint32_t m_state;
};

/// The process-wide generator that every operation without its own seed uses.
CRuntimeRandom& ProgramRandom();

} // namespace quiltara
