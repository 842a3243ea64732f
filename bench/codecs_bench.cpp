// Decoding and encoding a 4096 x 4096 picture in every format, from and to memory.
// `codecs_bench --write-files DIR` writes the same pictures as files instead, so
// that compare_codecs.py can time other tools on them.
#include "core/image/codecs/Codecs.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>

using namespace quiltara;

namespace {

constexpr int kSide = 4096;

// A photograph-like picture: smooth gradients with mild noise, so that the
// compressed sizes are those of real photographs rather than of flat colour.
const Pixels& Picture() {
    static const Pixels picture = [] {
        Pixels p(std::size_t(kSide) * kSide * 3);
        std::mt19937 rng(11);
        for (int y = 0; y < kSide; ++y)
            for (int x = 0; x < kSide; ++x) {
                std::uint8_t* d = &p[(std::size_t(y) * kSide + x) * 3];
                const int n = int(rng() % 7) - 3;
                d[0] = std::uint8_t(std::clamp((x >> 4) + n, 0, 255));
                d[1] = std::uint8_t(std::clamp((y >> 4) + n, 0, 255));
                d[2] = std::uint8_t(std::clamp(((x + y) >> 5) + n, 0, 255));
            }
        return p;
    }();
    return picture;
}

struct Format {
    const char* name;
    const char* extension;
    CodecStatus (*write)(CSink&, const std::uint8_t*, int, int);
    ReadResult (*read)(const CSource&);
};

const Format kFormats[] = {
    {"PNG", "png", WritePNG, ReadPNG},
    {"JPEG", "jpg",
     [](CSink& k, const std::uint8_t* p, int w, int h) { return WriteJPG(k, p, w, h, 75); },
     ReadJPG},
    {"TIFF", "tif", WriteTIFF, ReadTIFF},
    {"BMP", "bmp", WriteBMP, ReadBMP},
    {"TGA", "tga", WriteTGA, ReadTGA},
    {"PCX", "pcx", WritePCX, ReadPCX},
    {"PSD", "psd", WritePSD, ReadPSD},
};

std::vector<std::uint8_t> Encoded(const Format& f) {
    CSink sink;
    f.write(sink, Picture().data(), kSide, kSide);
    return sink.Bytes();
}

void Decode(benchmark::State& state, const Format* f) {
    const std::vector<std::uint8_t> file = Encoded(*f);
    for (auto _ : state) {
        CSource source(file.data(), file.size());
        ReadResult r = f->read(source);
        if (r.width != kSide) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(r.pixels.data());
    }
    state.counters["file_MB"] = double(file.size()) / 1e6;
    state.SetBytesProcessed(std::int64_t(state.iterations()) * kSide * kSide * 3);
}

void Encode(benchmark::State& state, const Format* f) {
    const Pixels& picture = Picture();
    std::size_t size = 0;
    for (auto _ : state) {
        CSink sink;
        if (!f->write(sink, picture.data(), kSide, kSide)) state.SkipWithError("encode failed");
        size = sink.Bytes().size();
        benchmark::DoNotOptimize(sink.Bytes().data());
    }
    state.counters["file_MB"] = double(size) / 1e6;
    state.SetBytesProcessed(std::int64_t(state.iterations()) * kSide * kSide * 3);
}

// The floor of every reader: a zeroed picture allocated and the file's bytes copied
// into it, as a memory-bound reader at best does.
void DecodeFloor(benchmark::State& state) {
    const std::vector<std::uint8_t> file = Encoded(kFormats[3]);
    for (auto _ : state) {
        ReadResult r;
        if (!AllocatePixels(r.pixels, kSide, kSide, 3, kErrBadBMP)) state.SkipWithError("memory");
        std::memcpy(r.pixels.data(), file.data() + 54, r.pixels.size());
        benchmark::DoNotOptimize(r.pixels.data());
    }
    state.SetBytesProcessed(std::int64_t(state.iterations()) * kSide * kSide * 3);
}

int WriteFiles(const std::string& folder) {
    for (const Format& f : kFormats) {
        const std::vector<std::uint8_t> bytes = Encoded(f);
        const std::string path = folder + "/bench." + f.extension;
        std::FILE* out = std::fopen(path.c_str(), "wb");
        if (!out || std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) return 1;
        std::fclose(out);
    }
    // The raw picture as a binary PPM, the neutral input for the encoders.
    std::FILE* out = std::fopen((folder + "/bench.ppm").c_str(), "wb");
    if (!out) return 1;
    std::fprintf(out, "P6\n%d %d\n255\n", kSide, kSide);
    std::fwrite(Picture().data(), 1, Picture().size(), out);
    std::fclose(out);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--write-files") == 0) return WriteFiles(argv[2]);
    for (const Format& f : kFormats) {
        benchmark::RegisterBenchmark((std::string("Decode/") + f.name).c_str(), Decode, &f)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MeasureProcessCPUTime();
        benchmark::RegisterBenchmark((std::string("Encode/") + f.name).c_str(), Encode, &f)
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->MeasureProcessCPUTime();
    }
    benchmark::RegisterBenchmark("Decode/floor", DecodeFloor)->Unit(benchmark::kMillisecond);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
