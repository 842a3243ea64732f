#include "core/paint/BrushLibrary.h"

#include "core/base/Archive.h"

#include <utility>

namespace quiltara {

const CBrush* CBrushLibrary::At(int index) const {
    return index >= 0 && index < Count() ? &m_brushes[std::size_t(index)] : nullptr;
}

CBrushFileResult CBrushLibrary::Load(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return {};
    CBrushFileResult result = ReadBrushLibrary(bytes.data(), bytes.size(), m_brushes);
    if (result.ok) m_path = path;
    return result;
}

std::vector<std::uint8_t> CBrushLibrary::Serialize() const {
    CArchiveWriter ar;
    WriteBrushLibrary(ar, m_brushes);
    return std::move(ar.Bytes());
}

bool CBrushLibrary::Save(const std::string& path) const {
    const std::vector<std::uint8_t> bytes = Serialize();
    return WriteFileAtomically(path, bytes.data(), bytes.size());
}

bool CBrushLibrary::SaveToPath() const {
    return m_path.empty() || Save(m_path);
}

int CBrushLibrary::Add(const CBrush& brush) {
    const int index = Append(brush);
    SaveToPath();
    return index;
}

int CBrushLibrary::Append(const CBrush& brush) {
    m_brushes.push_back(brush);
    return Count() - 1;
}

bool CBrushLibrary::Edit(int index, const CBrush& brush) {
    if (!At(index)) return false;
    m_brushes[std::size_t(index)] = brush;
    SaveToPath();
    return true;
}

int CBrushLibrary::Delete(int index) {
    if (!At(index)) return index;
    m_brushes.erase(m_brushes.begin() + index);
    SaveToPath();
    return index > 0 ? index - 1 : 0;
}

bool CBrushLibrary::MoveUp(int index) {
    if (Count() < 2 || index < 1 || index >= Count()) return false;
    std::swap(m_brushes[std::size_t(index)], m_brushes[std::size_t(index - 1)]);
    return true;
}

bool CBrushLibrary::MoveDown(int index) {
    if (Count() < 2 || index < 0 || index + 1 >= Count()) return false;
    std::swap(m_brushes[std::size_t(index)], m_brushes[std::size_t(index + 1)]);
    return true;
}

bool CBrushLibrary::Rename(int index, const std::string& name) {
    if (!At(index)) return false;
    m_brushes[std::size_t(index)].name = name;
    return true;
}

CBrushFileResult ImportBrush(const std::string& path, CBrush& brush) {
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return {};
    CBrushFileResult result;
    CArchiveReader ar(bytes);
    CBrush read;
    result.ok = ReadBrushRecord(ar, read, result);
    if (result.ok) brush = std::move(read);
    return result;
}

bool ExportBrush(const std::string& path, const CBrush& brush) {
    CArchiveWriter ar;
    WriteBrushRecord(ar, brush);
    return WriteFileAtomically(path, ar.Bytes().data(), ar.Bytes().size());
}

const std::array<CToolLibrary, 7>& ToolLibraries() {
    static const std::array<CToolLibrary, 7> table = {{
        {"Paint Brush", "Brush", "Brushes", "BrushNo", 4},
        {"Pen", "Pen", "Pens", "PenNo", 4},
        {"Airbrush", "Airbrush", "Airbrush", "AirNo", 4},
        {"Rubber Stamp", "Stamp", "", "StampNo", 4},
        {"Photo Retouch", "Retouch", "Retouch", "RetNo", 4},
        {"Image Nozzle", "Nozzle", "Nozzle", "HoseNo", 0},
        {"Natural, Artistic and 3D Brushes", "Natural", "Oils", "OilNo", 0},
    }};
    return table;
}

} // namespace quiltara
