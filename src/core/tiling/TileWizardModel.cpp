#include "core/tiling/TileWizardModel.h"

#include "core/tiling/SeamMeasure.h"
#include "core/tiling/TileSource.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace quiltara {

TileRepeatLayout RepeatLayout(int previewW, int previewH, int tileW, int tileH) {
    TileRepeatLayout l;
    if (tileW <= 0 || tileH <= 0) return l;
    auto axis = [](int preview, int tile, int& first, int& count) {
        const int frame = (preview - tile) / 2;
        const int before = frame > 0 ? (frame + tile - 1) / tile : 0; // copies left of the frame
        count = std::min(2 * before + 1, CTileWizardModel::kMaxRepeat);
        first = frame - std::min(before, (count - 1) / 2) * tile;
    };
    axis(previewW, tileW, l.firstX, l.across);
    axis(previewH, tileH, l.firstY, l.down);
    return l;
}

CTileWizardModel::CTileWizardModel(const CDIBSection2& picture, int previewWidth, int previewHeight)
    : m_picture(picture), m_previewW(previewWidth), m_previewH(previewHeight),
      m_sourceW(picture.GetWidth()), m_sourceH(picture.GetHeight()),
      m_rememberedW(picture.GetWidth()), m_rememberedH(picture.GetHeight()) {
    m_workingSource.MakeEmpty();
    m_resultTile.MakeEmpty();
    CoverWholeSource();
    CenterPicture();
}

void CTileWizardModel::CoverWholeSource() {
    const CDIBSection2& s = EffectiveSource();
    m_covered = CCoveredArea::Whole(s.GetWidth(), s.GetHeight());
}

void CTileWizardModel::KeepFrameInside() {
    const TileSize held =
        LargestFrameInside(m_covered, m_effectMode, std::min(m_askedW, kMaxTileSide),
                           std::min(m_askedH, kMaxTileSide));
    m_tileW = held.width;
    m_tileH = held.height;
    const SourceArea was = TileFootprint(m_effectMode, Frame());
    SourceArea area = was;
    if (!m_covered.Hold(area)) return;
    // The frame stays put in the preview: the picture moves the other way.
    m_pictureX -= area.left - was.left;
    m_pictureY += area.bottom - was.bottom;
}

bool CTileWizardModel::FrameFinishedTile() {
    const int w = m_picture.GetWidth(), h = m_picture.GetHeight();
    if (HasWorkingSource() || w < 2 || h < 2 || w > kMaxTileSide || h > kMaxTileSide ||
        m_picture.GetBitsPerPixel() != 32 || !WrapsWell(MeasureSeams(m_picture)))
        return false;
    m_askedW = w;
    m_askedH = h;
    CenterPicture();
    if (m_step == 2) Recompute();
    return true;
}

const CDIBSection2& CTileWizardModel::EffectiveSource() const {
    return m_workingSource.IsEmpty() ? m_picture : m_workingSource;
}

bool CTileWizardModel::TypeSourceWidth(int width) {
    if (width <= 0) return false;
    m_sourceW = width;
    m_percent = m_picture.GetWidth() > 0 ? double(width) / m_picture.GetWidth() * 100 : 100;
    m_resizePending = true;
    m_pendingW = m_sourceW;
    m_pendingH = m_sourceH;
    return true;
}

bool CTileWizardModel::TypeSourceHeight(int height) {
    if (height <= 0) return false;
    m_sourceH = height;
    m_percent = m_picture.GetHeight() > 0 ? double(height) / m_picture.GetHeight() * 100 : 100;
    m_resizePending = true;
    m_pendingW = m_sourceW;
    m_pendingH = m_sourceH;
    return true;
}

bool CTileWizardModel::TypeSourcePercent(double percent) {
    // The product is held to a size a picture can have before it is truncated.
    if (!(percent > 0) || m_picture.GetWidth() <= 0) return false;
    const double w = std::min(percent * m_picture.GetWidth() * 0.01, 1e6);
    const int width = int(w);
    const int height =
        int(std::min(double(m_picture.GetHeight()) / m_picture.GetWidth() * width, 1e6));
    if (width <= 0 || height <= 0) return false;
    m_percent = percent;
    m_sourceW = width;
    m_sourceH = height;
    m_resizePending = true;
    m_pendingW = width;
    m_pendingH = height;
    return true;
}

void CTileWizardModel::Apply() {
    ResampleSource(m_sourceW, m_sourceH);
}

void CTileWizardModel::ResampleSource(int width, int height) {
    width = std::max(width, kMinSourceSide);
    height = std::max(height, kMinSourceSide);
    quiltara::ResampleSource(m_picture, width, height, m_workingSource);
    m_resizePending = false;
    m_sourceW = m_rememberedW = width;
    m_sourceH = m_rememberedH = height;
    CoverWholeSource();
    CenterPicture();
    if (m_step == 2) Recompute();
}

void CTileWizardModel::ResetResample() {
    ResampleSource(m_rememberedW, m_rememberedH);
}

void CTileWizardModel::ResetWhole() {
    ResampleSource(m_picture.GetWidth(), m_picture.GetHeight());
    m_sourceW = m_picture.GetWidth();
    m_sourceH = m_picture.GetHeight();
    m_percent = 100;
}

CDIBSection2* CTileWizardModel::SharpenTarget() {
    if (m_workingSource.IsEmpty() || m_resizePending) return nullptr;
    return &m_workingSource;
}

void CTileWizardModel::SourceChanged() {
    if (m_step == 2) Recompute();
}

TileWizardButtons CTileWizardModel::Buttons() const {
    TileWizardButtons b;
    b.apply = m_resizePending;
    b.sharpen = !m_resizePending && HasWorkingSource();
    b.resetResample = b.sharpen;
    b.resetWhole = m_resizePending || HasWorkingSource();
    return b;
}

void CTileWizardModel::CenterPicture() {
    const CDIBSection2& s = EffectiveSource();
    m_pictureX = (m_previewW - s.GetWidth()) / 2;
    m_pictureY = (m_previewH - s.GetHeight()) / 2;
    KeepFrameInside();
}

void CTileWizardModel::Drag(int dx, int dy) {
    m_pictureX += dx;
    m_pictureY += dy;
    KeepFrameInside();
    if (m_step == 2) Recompute();
}

void CTileWizardModel::PlaceFrameAt(int left, int top) {
    m_pictureX = FrameX() - left;
    m_pictureY = FrameY() - top;
    KeepFrameInside();
    if (m_step == 2) Recompute();
}

TileFrame CTileWizardModel::Frame() const {
    TileFrame f;
    f.left = FrameX() - m_pictureX;
    const int pictureTop = FrameY() - m_pictureY;
    f.top = EffectiveSource().GetHeight() - pictureTop;
    f.width = m_tileW;
    f.height = m_tileH;
    return f;
}

bool CTileWizardModel::SetTileWidth(int width) {
    if (width <= 0) return false;
    m_askedW = width;
    KeepFrameInside();
    if (m_step == 2) Recompute();
    return true;
}

bool CTileWizardModel::SetTileHeight(int height) {
    if (height <= 0) return false;
    m_askedH = height;
    KeepFrameInside();
    if (m_step == 2) Recompute();
    return true;
}

void CTileWizardModel::SetEffectMode(int mode) {
    m_effectMode = (mode >= 0 && mode < kTileEffectCount) ? mode : kTileEffectNone;
    // The modes read different parts around the frame.
    KeepFrameInside();
    if (m_step == 2) Recompute();
}

void CTileWizardModel::SetFlattenLight(bool on) {
    m_flattenLight = on;
    if (m_step == 2) Recompute();
}

void CTileWizardModel::EnterStep2() {
    if (m_resizePending) Apply();
    m_sliders = TileSlidersFor(m_tileW, m_tileH);
    Recompute();
    m_step = 2; // only once the tile is there
}

void CTileWizardModel::BackToStep1() {
    m_step = 1;
}

void CTileWizardModel::SetSliders(int sizePosition, int aspectPosition) {
    const TileSliderSize size = TileSizeFromSliders(sizePosition, aspectPosition);
    m_askedW = size.width;
    m_askedH = size.height;
    KeepFrameInside();
    Recompute();
}

bool CTileWizardModel::ApplyPitch(double degrees, IProgressReporter* progress) {
    m_pitch = degrees;
    ResampleSource(m_rememberedW, m_rememberedH);
    CDIBSection2 rotated;
    rotated.Copy(&EffectiveSource());
    const int turnedW = rotated.GetWidth(), turnedH = rotated.GetHeight();
    if (!RotateSource(rotated, degrees, progress)) return false;
    m_workingSource = std::move(rotated);
    m_sourceW = m_workingSource.GetWidth();
    m_sourceH = m_workingSource.GetHeight();
    m_percent = 100;
    // The corners the turn leaves black are no photograph.
    m_covered = CCoveredArea::Turned(turnedW, turnedH, degrees);
    // The turned picture grows around its centre: keep that centre under the frame.
    CenterPicture();
    Recompute();
    return true;
}

void CTileWizardModel::Recompute() {
    const CDIBSection2& source = EffectiveSource();
    const TileFrame frame = Frame();
    // Made aside: when the memory runs out the last tile stays whole.
    CDIBSection2 tile;
    quiltara::ComputeTile(source, frame, m_effectMode, tile);
    CLightField light;
    if (m_flattenLight && light.Measure(tile)) light.Apply(tile);
    m_light = std::move(light);
    m_resultTile = std::move(tile);
    m_selection = ClampedSelection(frame, source.GetWidth(), source.GetHeight());
}

void CTileWizardModel::ComputeTile() {
    Recompute();
}

std::string CTileWizardModel::TileSizeText() const {
    char text[64];
    std::snprintf(text, sizeof text, "Tile Size: %d x %d", m_tileW, m_tileH);
    return text;
}

std::string CTileWizardModel::HeldText() const {
    if (!TileHeld()) return {};
    char text[128];
    std::snprintf(text, sizeof text, "Held to %d x %d: on the photograph, at most %d a side",
                  m_tileW, m_tileH, kMaxTileSide);
    return text;
}

std::string CTileWizardModel::ActualTileSizeText() const {
    const TileSize size = ResultTileSize(m_effectMode, m_tileW, m_tileH);
    char text[64];
    std::snprintf(text, sizeof text, "Actual Tile Size: %d x %d", size.width, size.height);
    return text;
}

void CTileWizardModel::Finish() {
    // A typed size that was never applied would leave the tile cut from a picture
    // other than the one the preview showed.
    if (m_resizePending) Apply();
    Recompute();
}

void CTileWizardModel::UseWholeImage() {
    if (m_resizePending) Apply();
    m_useWholeImage = true;
}

namespace {
bool SamePixels(const CDIBSection2& a, const CDIBSection2& b) {
    return !a.IsEmpty() && a.GetWidth() == b.GetWidth() && a.GetHeight() == b.GetHeight() &&
           a.GetBitsPerPixel() == b.GetBitsPerPixel() && a.PixelBytes() == b.PixelBytes() &&
           std::memcmp(a.GetBits(), b.GetBits(), a.PixelBytes()) == 0;
}
} // namespace

void CTileWizardModel::TakeOutcome(TileWizardOutcome& outcome) {
    outcome.useWholeImage = m_useWholeImage;
    outcome.surroundings = Surroundings{};
    outcome.surroundings.image.MakeEmpty();
    if (m_useWholeImage) {
        outcome.keepsPicture = !HasWorkingSource();
        if (HasWorkingSource())
            outcome.image = std::move(m_workingSource);
        else
            outcome.image.MakeEmpty();
        m_workingSource.MakeEmpty();
        return;
    }
    if (m_resultTile.IsEmpty()) Recompute();
    CutSurroundings(EffectiveSource(), m_selection, m_resultTile.GetWidth(),
                    m_resultTile.GetHeight(), outcome.surroundings);
    // The photograph around the tile takes the tile's light out where it lies.
    if (m_flattenLight)
        m_light.Apply(outcome.surroundings.image, outcome.surroundings.offsetX,
                      outcome.surroundings.offsetY);
    outcome.keepsPicture = SamePixels(m_resultTile, m_picture);
    outcome.image = std::move(m_resultTile);
    m_resultTile.MakeEmpty();
}

bool RunTileJob(const CDIBSection2& picture, const TileJob& job, TileWizardOutcome& outcome,
                TileJobReport* report) {
    if (picture.IsEmpty() || picture.GetBitsPerPixel() != 32) return false;
    if (job.tileW <= 0 || job.tileH <= 0 || job.sourceW < 0 || job.sourceH < 0) return false;
    // The preview's size only places the picture; any will do.
    CTileWizardModel model(picture, 400, 300);
    if (job.sourceW > 0 || job.sourceH > 0)
        model.ResampleSource(job.sourceW > 0 ? job.sourceW : picture.GetWidth(),
                             job.sourceH > 0 ? job.sourceH : picture.GetHeight());
    model.SetTileWidth(job.tileW);
    model.SetTileHeight(job.tileH);
    model.SetEffectMode(job.mode);
    model.SetFlattenLight(job.flattenLight);
    // A turned picture is kept whole as well: the wizard's first step can be reached
    // again after the pitch was set.
    if (job.hasPitch && !model.ApplyPitch(job.pitch)) return false;
    if (job.whole) {
        model.UseWholeImage();
        model.TakeOutcome(outcome);
        return true;
    }
    const CDIBSection2& source = model.EffectiveSource();
    if (job.hasAt) {
        model.PlaceFrameAt(job.atX, job.atY);
        const TileFrame f = model.Frame();
        const int heldY = source.GetHeight() - f.top;
        if (f.left != job.atX || heldY != job.atY) {
            if (report) *report = {true, f.left, heldY};
            return false;
        }
    } else {
        model.PlaceFrameAt((source.GetWidth() - model.TileWidth()) / 2,
                           (source.GetHeight() - model.TileHeight()) / 2);
    }
    model.Finish();
    model.TakeOutcome(outcome);
    return true;
}

} // namespace quiltara
