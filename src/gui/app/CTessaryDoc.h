#pragma once
#include "core/exif/CameraSummary.h"
#include "core/image/DIBSection2.h"
#include "gui/app/CommandTarget.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quiltara {
struct TileWizardOutcome;
}

namespace quiltara::gui {

class CCanvasWnd;

/// A document: one picture being made into a tile. The picture being edited lives in
/// the view's canvas; the document keeps the Original (swapped out to disk), the
/// photograph around the tile, the camera information and the path.
class CTessaryDoc : public QObject, public ICommandTarget {
    Q_OBJECT
public:
    explicit CTessaryDoc(QObject* parent = nullptr);
    ~CTessaryDoc() override;

    /// A new blank tile: width x height, filled with color, alpha 255.
    bool NewBlank(int width, int height, ColorRef color);
    /// A new picture from an image the clipboard gave (alpha 255).
    bool NewFromPicture(const CDIBSection2& picture);

    /// The open routine: loads path with the "Loading" progress, keeps the camera
    /// block and lets the tile wizard cut the Original from the picture. On failure
    /// the document is unchanged and errorText holds the reason; it is empty when
    /// the user cancelled the wizard. A file loaded as a new document (an acquired
    /// picture) skips the wizard and is kept whole.
    bool OnOpenDocument(const QString& path, QString* errorText = nullptr,
                        bool withTileWizard = true);
    /// The tile preparation wizard the open routine runs on every loaded picture:
    /// false on Cancel. The dialog by default; tests put a non-interactive one here.
    static std::function<bool(const CDIBSection2& picture, TileWizardOutcome& outcome)> tileWizard;
    /// Saves the working image to path in the format of its extension (asking for the
    /// JPEG quality); tells the user what went wrong. False on failure or cancel.
    bool OnSaveDocument(const QString& path);
    /// The save routine of "&Save" and "Save &As...": asks for a name (proposed from
    /// the path, or from the title), saves, and with replace takes the new name.
    bool DoSave(const QString& path, bool replace);
    /// Asks whether unsaved changes should be saved; false when the user cancelled
    /// or the save failed.
    bool SaveModified(QWidget* parent);

    /// The view took its copy of the Original: keep ours on disk, or drop it when the
    /// document has no Original of its own.
    void OnViewInitialised(CCanvasWnd* canvas);
    /// "Show EXIF Info...": the camera report, or the message that there is none.
    void ShowExifInfo(QWidget* parent);
    /// "Set  as Original": the canvas's working image becomes the Original.
    void SetAsOriginal();
    /// The document has a real Original (not missing, empty or 1 x 1).
    bool HasOriginal() const;

    bool IsModified() const;
    void SetModifiedFlag(bool modified) { m_modified = modified; }
    QString Title() const { return m_title; }
    /// The save routine's dialog; tests replace it. Returns the chosen path or empty.
    std::function<QString(const QString& title, const QString& start, const QStringList& filters,
                          const QString& suffix)>
        askSavePath;
    void SetTitle(const QString& title);

    bool OnCommand(int id) override;
    bool UpdateCommand(int id, CommandState& state) override;

    CDIBSection2 original;
    CDIBSection2 surroundingsImage;
    std::int32_t tileOffsetX = 0;
    std::int32_t tileOffsetY = 0;
    bool hasCameraInfo = false;
    std::vector<std::uint8_t> cameraBlock; // the raw camera-information block, kept for its report
    CCameraSummary camera;                 // what the panel shows
    QString pathName;
    CCanvasWnd* canvas = nullptr; // not owned; set when the view is initialised
    bool originalLoaded = false;

signals:
    void titleChanged(const QString& title);

private:
    /// Runs the wizard on a loaded picture (when asked) and takes its outcome: the
    /// Original, the surroundings image and the tile's offset. False on Cancel,
    /// nothing changed.
    bool TakeTileFromWizard(CDIBSection2& picture, bool runWizard);

    bool m_modified = false;
    QString m_title;
};

} // namespace quiltara::gui
