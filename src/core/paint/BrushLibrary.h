#pragma once
#include "core/paint/Brush.h"
#include "core/paint/BrushFile.h"

#include <array>
#include <string>
#include <vector>

namespace quiltara {

struct CProgramFolders;

/// A brush library: the file it was last loaded from and its brushes in file order.
/// The brush bar's commands are the members below; the dialogs they open live with the
/// user interface, and the texts they show are given here.
class CBrushLibrary {
public:
    static constexpr const char* kDeleteQuestion =
        "Do you want to delete selected brush from the library?";
    static constexpr const char* kImportTitle = "Load brush";
    static constexpr const char* kImportFilter = "Brushes (*.br1)|*.br1||";
    static constexpr const char* kExportTitle = "Save Current Brush";
    static constexpr const char* kExportFilter = "Brush File (*.br1)|*.br1||";
    static constexpr const char* kBrushExtension = "*.br1";
    static constexpr const char* kLoadTitle = "Load brushes";
    static constexpr const char* kSaveTitle = "Save Brushes";
    static constexpr const char* kLibraryFilter = "Brushes (*.brs)|*.brs||";
    static constexpr const char* kLibraryExtension = "*.brs";

    const std::string& Path() const { return m_path; }
    const std::vector<CBrush>& Brushes() const { return m_brushes; }
    std::vector<CBrush>& Brushes() { return m_brushes; }
    int Count() const { return int(m_brushes.size()); }
    /// The brush at index, or null outside the list.
    const CBrush* At(int index) const;

    /// "Load Library": replaces the brushes by the file's and remembers the path. A file
    /// that cannot be read, or ends before its records do, changes nothing.
    CBrushFileResult Load(const std::string& path);
    /// "Save Library": writes the brushes to path; the remembered path stays.
    bool Save(const std::string& path) const;
    /// Writes to the remembered path; nothing (and true) when there is none.
    bool SaveToPath() const;
    /// The file's bytes.
    std::vector<std::uint8_t> Serialize() const;

    /// "Add" after OK: appends, saves to the path, returns the new brush's index.
    int Add(const CBrush& brush);
    /// "Import" after OK: appends only; returns the index.
    int Append(const CBrush& brush);
    /// "Edit" after OK: replaces the brush at index and saves to the path. False outside
    /// the list.
    bool Edit(int index, const CBrush& brush);
    /// "Delete" after Yes: removes the brush, saves to the path and returns the index to
    /// select (the one before, or the first). An index outside the list does nothing
    /// and returns it unchanged.
    int Delete(int index);
    /// "Sort Library": "Up" and "Down" move a brush one place when the move stays inside
    /// a list of two or more; "Apply" renames. They return false when nothing changed.
    bool MoveUp(int index);
    bool MoveDown(int index);
    bool Rename(int index, const std::string& name);

private:
    std::string m_path;
    std::vector<CBrush> m_brushes;
};

/// "Import...": reads one brush record from a ".br1" file into brush (defaults first).
CBrushFileResult ImportBrush(const std::string& path, CBrush& brush);
/// "Export...": writes one brush record.
bool ExportBrush(const std::string& path, const CBrush& brush);

/// The library of one tool: its brush folder below Brushes/, the settings value that
/// names its file, and the remembered selection with its default.
struct CToolLibrary {
    const char* tool;             // "Paint Brush", ...
    const char* folder;           // "Brush", ...
    const char* fileSetting;      // "Brushes", ...; empty: always "default.brs"
    const char* selectionSetting; // "BrushNo", ...
    int defaultSelection;
};
const std::array<CToolLibrary, 7>& ToolLibraries();
constexpr const char* kDefaultLibraryName = "default.brs";

} // namespace quiltara
