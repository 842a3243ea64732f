#pragma once
// The tile preparation wizard without its windows: the working source, the frame's
// place over it, the tile size and effect, and what the document receives. The
// dialog shows this state and forwards the user's actions; the command-line tool
// and the tests drive it directly.
#include "core/filters/FlattenLight.h"
#include "core/image/DIBSection2.h"
#include "core/tiling/TileCoverage.h"
#include "core/tiling/TileEffects.h"
#include "core/tiling/TileSliders.h"
#include "core/tiling/TileSurroundings.h"

#include <string>

namespace quiltara {

class IProgressReporter;

/// What the document takes from the wizard when it was not cancelled.
struct TileWizardOutcome {
    bool useWholeImage = false;
    /// The document's new image: the result tile, or with "Use Whole Image" the
    /// working source; empty when the loaded picture itself stays.
    CDIBSection2 image;
    /// The photograph around the tile and the tile's offset in it; empty with
    /// "Use Whole Image".
    Surroundings surroundings;
    /// The document's image is the loaded picture, pixel for pixel: what its file holds.
    bool keepsPicture = false;
};

/// Which buttons of the first step can be pressed.
struct TileWizardButtons {
    bool apply = false;         // "Apply": a typed source size waits
    bool sharpen = false;       // "Sharpen": a working source exists, nothing waits
    bool resetResample = false; // the first "Reset": resample again, dropping a sharpening
    bool resetWhole = false;    // the second "Reset": back to the whole picture
};

/// Copies of the tile over the fine-tuning preview: one copy sits where the frame
/// does, the others around it, at most 20 across and 20 down.
struct TileRepeatLayout {
    int firstX = 0, firstY = 0;
    int across = 0, down = 0;
};
TileRepeatLayout RepeatLayout(int previewW, int previewH, int tileW, int tileH);

/// The frame stays on the photograph: its size is held to what the working source
/// covers (the whole picture, or the turned picture inside the black corners a pitch
/// correction leaves) and to kMaxTileSide, and moving the picture under it stops where
/// the frame, and what the effect mode reads around it, would leave the photograph.
/// So no tile holds anything but photograph.
class CTileWizardModel {
public:
    static constexpr int kStartTileSide = 200;
    static constexpr int kMaxRepeat = 20;
    /// The largest tile side the wizard makes (the largest new picture's side).
    static constexpr int kMaxTileSide = 5000;

    /// picture must outlive the model (the document's loaded picture, 32 bits).
    CTileWizardModel(const CDIBSection2& picture, int previewWidth, int previewHeight);

    const CDIBSection2& Picture() const { return m_picture; }
    bool HasWorkingSource() const { return !m_workingSource.IsEmpty(); }
    const CDIBSection2& WorkingSource() const { return m_workingSource; }
    /// The working source when there is one, else the picture.
    const CDIBSection2& EffectiveSource() const;
    int PreviewWidth() const { return m_previewW; }
    int PreviewHeight() const { return m_previewH; }

    // ---- step 1: the source size
    int SourceWidth() const { return m_sourceW; }
    int SourceHeight() const { return m_sourceH; }
    double SourcePercent() const { return m_percent; }
    bool ResizePending() const { return m_resizePending; }
    int PendingWidth() const { return m_pendingW; }
    int PendingHeight() const { return m_pendingH; }
    /// Typing in the fields. A zero (or less) is not applied: false, and the caller
    /// selects the field's text. Otherwise a resize waits for "Apply".
    bool TypeSourceWidth(int width);
    bool TypeSourceHeight(int height);
    bool TypeSourcePercent(double percent);
    /// "Apply": resamples to the typed size.
    void Apply();
    /// The working source of width x height from the picture (sides at least 10); the
    /// picture itself at its own size. Clears the waiting resize, centres the picture
    /// and remembers the size.
    void ResampleSource(int width, int height);
    /// The first "Reset": resample the picture again at the remembered size.
    void ResetResample();
    /// The second "Reset": the whole picture at its own size, 100 percent.
    void ResetWhole();
    /// The working source to sharpen, or null when "Sharpen" cannot work (no working
    /// source, or a resize waits).
    CDIBSection2* SharpenTarget();
    /// The working source was changed from outside (sharpened): recompute in step 2.
    void SourceChanged();
    TileWizardButtons Buttons() const;

    // ---- the frame over the source
    int PictureX() const { return m_pictureX; }
    int PictureY() const { return m_pictureY; }
    /// Centres the effective source in the preview (then keeps the frame inside).
    void CenterPicture();
    /// Moves the picture under the frame by a mouse movement (the frame stays).
    void Drag(int dx, int dy);
    /// Places the picture so that the frame's left column is left and its top picture
    /// row is top in the effective source.
    void PlaceFrameAt(int left, int top);
    /// The frame's top-left corner in the preview.
    int FrameX() const { return (m_previewW - m_tileW) / 2; }
    int FrameY() const { return (m_previewH - m_tileH) / 2; }
    /// The framed area in the effective source (buffer rows).
    TileFrame Frame() const;

    // ---- the tile
    /// The frame's size: the size asked for, held inside the photograph.
    int TileWidth() const { return m_tileW; }
    int TileHeight() const { return m_tileH; }
    /// The step-1 "Tile Size" fields; zero (or less) is refused.
    bool SetTileWidth(int width);
    bool SetTileHeight(int height);
    /// The frame is smaller than the size asked for: the photograph holds no more.
    bool TileHeld() const { return m_tileW < m_askedW || m_tileH < m_askedH; }
    /// What the photograph holds: the whole working source, or the turned picture.
    const CCoveredArea& Covered() const { return m_covered; }
    /// A finished tile opened again: when the picture is no larger than kMaxTileSide
    /// and already wraps well (WrapsWell), the frame takes the whole picture, so that
    /// "Finish" with "None - Ready for Editing" keeps it exactly. False, nothing
    /// changed, otherwise.
    bool FrameFinishedTile();
    int EffectMode() const { return m_effectMode; }
    void SetEffectMode(int mode);
    /// "Flatten Light": the result tile has its light taken out (wrapping around its
    /// edges), and the photograph around it the same light, so that what the
    /// cross-border cloner copies from it still matches the tile.
    bool FlattenLightOn() const { return m_flattenLight; }
    void SetFlattenLight(bool on);
    int Step() const { return m_step; }
    /// "Next >": applies a waiting resize, sets up the sliders, computes the tile.
    void EnterStep2();
    /// "< Back".
    void BackToStep1();
    /// The sliders as set up on entering step 2.
    const TileSliderSetup& Sliders() const { return m_sliders; }
    /// A slider moved: the tile size from both positions, then the tile again.
    void SetSliders(int sizePosition, int aspectPosition);
    double PitchAngle() const { return m_pitch; }
    /// Pitch correction: resamples at the remembered size, rotates the effective
    /// source by the angle, takes the result as working source at 100 percent,
    /// centres it and computes the tile. False when the memory ran out (the working
    /// source then stays as the resampling left it).
    bool ApplyPitch(double degrees, IProgressReporter* progress = nullptr);
    /// The result tile for the current settings, and the clamped selection.
    void ComputeTile();
    const CDIBSection2& ResultTile() const { return m_resultTile; }
    const TileSelection& Selection() const { return m_selection; }

    /// "Tile Size: %d x %d" and "Actual Tile Size: %d x %d".
    std::string TileSizeText() const;
    std::string ActualTileSizeText() const;
    /// "Held to %d x %d: on the photograph, at most 5000 a side" while TileHeld, else
    /// empty.
    std::string HeldText() const;

    // ---- closing
    /// "Finish": applies a waiting resize and computes the tile with the current mode.
    void Finish();
    /// "Use Whole Image": applies a waiting resize and sets the flag.
    void UseWholeImage();
    bool UsesWholeImage() const { return m_useWholeImage; }
    /// What the document does with an accepted wizard.
    void TakeOutcome(TileWizardOutcome& outcome);

private:
    void Recompute();
    /// The frame's size from the size asked for, then the picture moved under the frame
    /// as little as keeps the frame and what the mode reads around it inside.
    void KeepFrameInside();
    /// The working source changed: the covered area is all of the effective source.
    void CoverWholeSource();

    const CDIBSection2& m_picture;
    CDIBSection2 m_workingSource;
    int m_previewW, m_previewH;
    int m_sourceW, m_sourceH;
    int m_rememberedW, m_rememberedH;
    double m_percent = 100;
    bool m_resizePending = false;
    int m_pendingW = 0, m_pendingH = 0;
    int m_pictureX = 0, m_pictureY = 0;
    int m_tileW = kStartTileSide, m_tileH = kStartTileSide;
    int m_askedW = kStartTileSide, m_askedH = kStartTileSide;
    CCoveredArea m_covered;
    int m_step = 1;
    int m_effectMode = kTileEffectNone;
    bool m_flattenLight = false;
    CLightField m_light; // of the result tile as the effect made it
    double m_pitch = 0;
    bool m_useWholeImage = false;
    TileSliderSetup m_sliders;
    CDIBSection2 m_resultTile;
    TileSelection m_selection;
};

/// The wizard without its dialog, as the command-line tool runs it.
struct TileJob {
    int mode = kTileEffectNone;
    int tileW = CTileWizardModel::kStartTileSide, tileH = CTileWizardModel::kStartTileSide;
    bool hasAt = false;           // else the frame is centred on the effective source
    int atX = 0, atY = 0;         // left column and top picture row of the frame
    int sourceW = 0, sourceH = 0; // 0: the picture's own size
    bool hasPitch = false;
    double pitch = 0;
    bool whole = false;
    bool flattenLight = false;
};
/// Why a job failed, and where the frame went.
struct TileJobReport {
    /// The frame placed "at" reaches off the photograph; heldX and heldY are the
    /// nearest placement inside (left column, top picture row).
    bool frameOutside = false;
    int heldX = 0, heldY = 0;
};
/// Runs the job on the 32-bit picture. The tile size is held inside the photograph as
/// the wizard holds it; a frame placed "at" is used only where it lies inside. False
/// when a size in it is not positive, the rotation ran out of memory or the placed
/// frame reaches off the photograph; outcome is then unchanged.
bool RunTileJob(const CDIBSection2& picture, const TileJob& job, TileWizardOutcome& outcome,
                TileJobReport* report = nullptr);

} // namespace quiltara
