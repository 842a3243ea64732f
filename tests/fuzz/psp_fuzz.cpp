// The Paint Shop Pro reader on hostile bytes, with the canvas and its tube cut into
// frames as the image hose would.
#include "core/devices/PspFile.h"
#include "core/devices/TubeFrames.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    quiltara::CPspFile psp;
    // Keep allocations small enough for the fuzzer's memory limit.
    psp.SetPixelLimit(std::uint64_t(1) << 22);
    const int result = psp.LoadFromMemory(data, size);
    if (result != 1 && psp.Messages().empty()) std::abort(); // every failure says why
    if (psp.HasCanvas() &&
        psp.Canvas().size() != std::size_t(psp.Width()) * std::size_t(psp.Height()) * 4)
        std::abort();
    if (psp.HasCanvas() && psp.CellsAcross() > 0 && psp.CellsDown() > 0 &&
        psp.CellsAcross() <= 64 && psp.CellsDown() <= 64)
        quiltara::CutTubeFrames(psp.Canvas().data(), psp.Width(), psp.Height(), psp.CellsAcross(),
                                psp.CellsDown(), psp.CellCount());
    return 0;
}
