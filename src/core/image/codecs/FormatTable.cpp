#include "core/image/codecs/FormatTable.h"

#include <algorithm>
#include <cctype>

namespace quiltara {

int DetectFormat(const CSource& source) {
    const std::uint8_t* d = source.Data();
    const std::size_t n = source.Size();
    if (!d || !n) return kDetectNone;
    if (IsBMP(d, n)) return kDetectBMP;
    if (IsGIF(d, n)) return kDetectGIF;
    if (IsJPG(d, n)) return kDetectJPG;
    if (IsPNG(d, n)) return kDetectPNG;
    if (IsTIFF(d, n)) return kDetectTIFF;
    if (IsEMF(d, n)) return kDetectEMF;
    if (IsWMF(d, n)) return kDetectWMF;
    if (IsPSD(d, n)) return kDetectPSD;
    if (IsWebP(d, n)) return kDetectWebP;
    if (IsPAX(d, n)) return kDetectPAX;
    if (IsPCX(d, n)) return kDetectPCX; // the weakest signature goes last
    return kDetectNone;
}

namespace {

ReadResult ReadMetafile(const CSource& source) {
    return RenderMetafile(source, 100, 100, 0x808080);
}

// The lambdas adapt the writers to the table's uniform signatures.
const std::vector<FormatEntry> kTable = {
    {kFormatJPG, "JPEG", kDetectJPG, ReadJPG, FormatDepth::kRGB,
     [](CSink& k, const std::uint8_t* p, int w, int h, int q) { return WriteJPG(k, p, w, h, q); },
     nullptr},
    {kFormatJPGGray, "8-bit gray JPEG", 0, nullptr, FormatDepth::kGray, nullptr,
     [](CSink& k, const std::uint8_t* p, int w, int h, const Palette256&, int q) {
         return WriteJPGGray(k, p, w, h, q);
     }},
    {kFormatPNG, "PNG", kDetectPNG, ReadPNG, FormatDepth::kRGB,
     [](CSink& k, const std::uint8_t* p, int w, int h, int) { return WritePNG(k, p, w, h); },
     nullptr},
    {kFormatPNG8, "8-bit PNG", 0, nullptr, FormatDepth::kPalette, nullptr,
     [](CSink& k, const std::uint8_t* p, int w, int h, const Palette256& pal, int) {
         return WritePNG8(k, p, w, h, pal);
     }},
    {kFormatPNGGray, "8-bit gray PNG", 0, nullptr, FormatDepth::kGray, nullptr,
     [](CSink& k, const std::uint8_t* p, int w, int h, const Palette256& pal, int) {
         return WritePNG8(k, p, w, h, pal);
     }},
    {kFormatBMP, "BMP", kDetectBMP, ReadBMP, FormatDepth::kRGB,
     [](CSink& k, const std::uint8_t* p, int w, int h, int) { return WriteBMP(k, p, w, h); },
     nullptr},
    {kFormatBMP8, "8-bit BMP", 0, nullptr, FormatDepth::kPalette, nullptr,
     [](CSink& k, const std::uint8_t* p, int w, int h, const Palette256& pal, int) {
         return WriteBMP8(k, p, w, h, pal);
     }},
    {kFormatBMPGray, "8-bit gray BMP", 0, nullptr, FormatDepth::kGray, nullptr,
     [](CSink& k, const std::uint8_t* p, int w, int h, const Palette256& pal, int) {
         return WriteBMP8(k, p, w, h, pal);
     }},
    {kFormatPCX, "PCX", kDetectPCX, ReadPCX, FormatDepth::kRGB,
     [](CSink& k, const std::uint8_t* p, int w, int h, int) { return WritePCX(k, p, w, h); },
     nullptr},
    {kFormatPCX8, "8-bit PCX", 0, nullptr, FormatDepth::kPalette, nullptr,
     [](CSink& k, const std::uint8_t* p, int w, int h, const Palette256& pal, int) {
         return WritePCX8(k, p, w, h, pal);
     }},
    {kFormatPCXGray, "8-bit gray PCX", 0, nullptr, FormatDepth::kGray, nullptr,
     [](CSink& k, const std::uint8_t* p, int w, int h, const Palette256& pal, int) {
         return WritePCX8(k, p, w, h, pal);
     }},
    {kFormatTIFF, "TIFF", kDetectTIFF, ReadTIFF, FormatDepth::kRGB,
     [](CSink& k, const std::uint8_t* p, int w, int h, int) { return WriteTIFF(k, p, w, h); },
     nullptr},
    {kFormatTIFF8, "8-bit TIFF", 0, nullptr, FormatDepth::kPalette, nullptr,
     [](CSink& k, const std::uint8_t* p, int w, int h, const Palette256& pal, int) {
         return WriteTIFF8(k, p, w, h, pal);
     }},
    {kFormatTIFFGray, "8-bit gray TIFF", 0, nullptr, FormatDepth::kGray, nullptr,
     [](CSink& k, const std::uint8_t* p, int w, int h, const Palette256& pal, int) {
         return WriteTIFF8(k, p, w, h, pal);
     }},
    // GIF is recognised but neither read nor written.
    {kFormatGIF, "GIF", kDetectGIF, nullptr, FormatDepth::kNothing, nullptr, nullptr},
    {kFormatTGA, "Targa", 0, ReadTGA, FormatDepth::kRGB,
     [](CSink& k, const std::uint8_t* p, int w, int h, int) { return WriteTGA(k, p, w, h); },
     nullptr},
    {kFormatTGA8, "8-bit Targa", 0, nullptr, FormatDepth::kPalette, nullptr,
     [](CSink& k, const std::uint8_t* p, int w, int h, const Palette256& pal, int) {
         return WriteTGA8(k, p, w, h, pal);
     }},
    {kFormatTGAGray, "8-bit gray Targa", 0, nullptr, FormatDepth::kGray, nullptr,
     [](CSink& k, const std::uint8_t* p, int w, int h, const Palette256& pal, int) {
         return WriteTGA8(k, p, w, h, pal);
     }},
    {kFormatWMF, "Windows metafile", kDetectWMF, ReadMetafile, FormatDepth::kRGB,
     [](CSink& k, const std::uint8_t* p, int w, int h, int) { return WriteWMF(k, p, w, h); },
     nullptr},
    {kFormatEMF, "Enhanced metafile", kDetectEMF, ReadMetafile, FormatDepth::kRGB,
     [](CSink& k, const std::uint8_t* p, int w, int h, int) { return WriteEMF(k, p, w, h); },
     nullptr},
    {kFormatPAX, "PAX", kDetectPAX, nullptr, FormatDepth::kNothing, nullptr, nullptr},
    {kFormatPSD, "Photoshop", kDetectPSD, ReadPSD, FormatDepth::kRGB,
     [](CSink& k, const std::uint8_t* p, int w, int h, int) { return WritePSD(k, p, w, h); },
     nullptr},
    {kFormatWebP, "WebP", kDetectWebP, ReadWebP, FormatDepth::kRGB,
     [](CSink& k, const std::uint8_t* p, int w, int h, int) { return WriteWebP(k, p, w, h); },
     nullptr},
};

struct ExtensionEntry {
    const char* extension;
    int code;
};
const ExtensionEntry kExtensions[] = {
    {"", kFormatNone},      {".BMP", kFormatBMP}, {".GIF", kFormatGIF},   {".JPG", kFormatJPG},
    {".JPEG", kFormatJPG},  {".PNG", kFormatPNG}, {".PCX", kFormatPCX},   {".TIF", kFormatTIFF},
    {".TIFF", kFormatTIFF}, {".WMF", kFormatWMF}, {".EMF", kFormatEMF},   {".PAX", kFormatPAX},
    {".PSD", kFormatPSD},   {".TGA", kFormatTGA}, {".WEBP", kFormatWebP},
};

} // namespace

const std::vector<FormatEntry>& FormatTable() {
    return kTable;
}

const FormatEntry* FindFormat(int code) {
    for (const FormatEntry& e : kTable)
        if (e.code == code) return &e;
    return nullptr;
}

int FormatFromExtension(const std::string& extension) {
    std::string upper = extension;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    for (const ExtensionEntry& e : kExtensions)
        if (upper == e.extension) return e.code;
    return kFormatNone;
}

std::string PathExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    const std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return path.substr(dot);
}

int FormatFromDetection(int detectionId) {
    if (detectionId == kDetectNone) return kFormatNone;
    for (const FormatEntry& e : kTable)
        if (e.detectionId == detectionId) return e.code;
    return kFormatNone;
}

} // namespace quiltara
