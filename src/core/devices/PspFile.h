#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quiltara {

/// A Paint Shop Pro image, picture tube or frame, read once: the general image
/// attributes, the creator texts, the tube values and all layers composited into one
/// RGBA canvas. Read only; nothing in the program writes this format.
class CPspFile {
public:
    /// Load results.
    enum : int { kFailedLater = -1, kFailed = 0, kLoaded = 1 };

    /// 1 when the whole file was read; 0 when it is missing or unreadable, when its
    /// header, signature or first block is wrong, when the general image attributes are
    /// bad, or after a seek error; -1 when a later block failed. Every failure except a
    /// missing file leaves its text in Messages(). Members keep what was read before a
    /// failure.
    int Load(const std::string& path);
    /// The same from bytes in memory.
    int LoadFromMemory(const std::uint8_t* data, std::size_t size);

    /// Set before loading: true (the default) starts the canvas as all zero bytes,
    /// false as all 255.
    void SetTransparentBackground(bool transparent) { m_transparentBackground = transparent; }
    bool TransparentBackground() const { return m_transparentBackground; }
    /// Largest canvas or layer, in pixels, that a load will allocate, and the budget
    /// of all layers together; a larger one, or a layer larger than its data can
    /// fill, fails with "PSP: Image too large".
    void SetPixelLimit(std::uint64_t pixels) { m_pixelLimit = pixels; }

    /// The texts shown to the user during the last load, in order; the last one is the
    /// reason of a failure. "PSP: Sub-block should not occur at main level of file" is
    /// only a warning: reading goes on after it.
    const std::vector<std::string>& Messages() const { return m_messages; }

    int MajorVersion() const { return m_majorVersion; }
    int MinorVersion() const { return m_minorVersion; }
    /// width x height pixels of 4 bytes (red, green, blue, alpha), rows top-down;
    /// empty when the image had no size.
    const std::vector<std::uint8_t>& Canvas() const { return m_canvas; }
    bool HasCanvas() const { return !m_canvas.empty(); }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    const std::string& Title() const { return m_title; }
    const std::string& Copyright() const { return m_copyright; }
    const std::string& Artist() const { return m_artist; }
    const std::string& Description() const { return m_description; }
    int LayerCount() const { return m_layerCount; }
    int BitDepth() const { return m_bitDepth; }

    /// Tube values 1 to 6 in file order.
    std::int32_t TubeValue(int i) const { return m_tube[std::size_t(i - 1)]; }
    int CellsAcross() const { return m_tube[1]; }
    int CellsDown() const { return m_tube[2]; }
    int CellCount() const { return m_tube[3]; }
    int PlacementMode() const { return m_tube[4]; }
    int SelectionMode() const { return m_tube[5]; }

    /// 0 "random", 1 "constant", any other "default".
    static const char* PlacementModeName(int mode);
    /// 0 "random", 1 "incremental", 2 "angular", 3 "pressure", 4 "velocity", any other
    /// "default".
    static const char* SelectionModeName(int mode);

private:
    class Reader;
    struct BlockHeader;
    struct Layer;

    int Fail(int result, const std::string& text);
    bool ReadBlockHeader(Reader& in, BlockHeader& header);
    int ReadGeneralAttributes(Reader& in, const BlockHeader& header);
    bool ReadCreator(Reader& in, std::size_t end);
    bool ReadTube(Reader& in);
    int ReadLayerStart(Reader& in, std::size_t end);
    int ReadLayer(Reader& in, const BlockHeader& layerHeader);
    bool DecodeChannel(Reader& in, std::size_t dataEnd, std::uint32_t compressedLength,
                       Layer& layer, int byteIndex);
    void Composite(const Layer& layer);
    bool OldLayout() const { return m_majorVersion <= 3; }

    int m_majorVersion = 0;
    int m_minorVersion = 0;
    bool m_transparentBackground = true;
    std::uint64_t m_pixelLimit = std::uint64_t(1) << 28;
    std::uint64_t m_layerPixels = 0; // of the layers read so far
    std::vector<std::uint8_t> m_canvas;
    int m_width = 0;
    int m_height = 0;
    std::string m_title, m_copyright, m_artist, m_description;
    int m_layerCount = 0;
    int m_bitDepth = 0;
    int m_compression = 0;
    bool m_greyscale = false;
    std::array<std::int32_t, 6> m_tube{};
    std::vector<std::string> m_messages;
};

} // namespace quiltara
