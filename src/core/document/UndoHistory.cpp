#include "core/document/UndoHistory.h"

#include "core/base/Messages.h"
#include "core/document/CanvasModel.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>

namespace quiltara {

void TellPictureError(PictureError error, const std::string& path) {
    if (error != PictureError::kNone) ShowMessage(PictureErrorText(error, path));
}

void TellPictureError(PictureError error, CDIBSection2& picture) {
    // Only a picture with a swap file fails to swap, so asking for its name names it.
    if (error != PictureError::kNone) TellPictureError(error, picture.GetTempPath());
}

namespace {

// Raw swap files start with width and height, 32 bits each.
constexpr std::uintmax_t kRawHeaderBytes = 8;

CRect ClampTo(CRect r, int w, int h) {
    r = r.Normalized();
    r.left = std::clamp(r.left, 0, w);
    r.right = std::clamp(r.right, 0, w);
    r.top = std::clamp(r.top, 0, h);
    r.bottom = std::clamp(r.bottom, 0, h);
    return r;
}

bool Usable(const CDIBSection2& pic) {
    return !pic.IsEmpty() && pic.GetBitsPerPixel() == 32;
}

void CopyOrEmpty(CDIBSection2& dst, const CDIBSection2& src) {
    if (src.IsEmpty())
        dst.MakeEmpty();
    else
        dst.Copy(&src);
}

} // namespace

// ---------------------------------------------------------------- CUndoStep

CUndoStep::CUndoStep(const std::string& prefix, const std::string& tempDir) {
    regionImage.SetTempPrefix(prefix);
    if (!tempDir.empty()) regionImage.SetTempDir(tempDir);
}

void CUndoStep::ForgetFile() {
    // The file, if any, no longer holds this step's pixels: delete it now rather than
    // leave stale bytes on disk until the step goes. The name stays the step's.
    if (regionImage.IsSwappedOut()) regionImage.DeleteTempFile();
    m_onDisk = false;
}

void CUndoStep::ClearRegion() {
    ForgetFile();
    regionImage.MakeEmpty();
    region = {};
}

CRect CUndoStep::SaveRegion(const CDIBSection2& before, CRect rect) {
    if (!Usable(before)) {
        ClearRegion();
        return {};
    }
    const int w = before.GetWidth(), h = before.GetHeight();
    const CRect r = ClampTo(rect, w, h);
    if (r.Width() < 1 || r.Height() < 1) {
        ClearRegion();
        return {};
    }
    const std::size_t bytes = std::size_t(r.Width()) * std::size_t(r.Height()) * 4;
    try {
        if (r == CRect{0, 0, w, h} && bytes > kMaxBytesInMemory) {
            // A big whole-picture step goes straight from the before-image to disk.
            const std::string path = regionImage.GetTempPath();
            regionImage.MakeEmpty();
            const PictureError error = before.SaveRaw(path);
            if (error == PictureError::kNone) {
                m_onDisk = true;
                m_diskWidth = w;
                m_diskHeight = h;
                return r;
            }
            // Tell the user, and keep the step in memory so that undo still brings the
            // picture back when memory allows.
            TellPictureError(error, path);
            ForgetFile();
            regionImage.Create(w, h, 32, true);
            std::memcpy(regionImage.GetBits(), before.GetBits(), before.PixelBytes());
            return r;
        }
        ForgetFile();
        if (regionImage.IsEmpty() || regionImage.GetWidth() != r.Width() ||
            regionImage.GetHeight() != r.Height() || regionImage.GetBitsPerPixel() != 32)
            regionImage.Create(r.Width(), r.Height(), 32, true);
        for (int y = 0; y < r.Height(); ++y)
            std::memcpy(regionImage.PixelAt(0, y), before.PixelAt(r.left, r.top + y),
                        std::size_t(r.Width()) * 4);
        if (bytes > kMaxBytesInMemory) {
            const PictureError error = regionImage.SwapOut();
            if (error == PictureError::kNone) {
                m_onDisk = true;
                m_diskWidth = r.Width();
                m_diskHeight = r.Height();
            } else {
                // Not written: the user is told, the pixels stay in memory and the
                // broken file goes.
                const std::string path = regionImage.GetTempPath();
                TellPictureError(error, path);
                std::remove(path.c_str());
            }
        }
        return r;
    } catch (const std::bad_alloc&) {
        // The edit goes on without a usable step.
        ClearRegion();
        return {};
    }
}

const CDIBSection2* CUndoStep::SwappedInRegion() {
    if (m_onDisk && regionImage.IsEmpty()) {
        // Read it ourselves rather than through SwapIn so that a short or foreign file
        // leaves nothing half-read behind.
        int ok = 0;
        try {
            ok = regionImage.LoadRaw(regionImage.GetTempPath());
        } catch (const std::bad_alloc&) {
            ok = 0;
        }
        if (!ok || regionImage.GetWidth() != m_diskWidth ||
            regionImage.GetHeight() != m_diskHeight) {
            regionImage.MakeEmpty();
            return nullptr;
        }
    }
    return Usable(regionImage) ? &regionImage : nullptr;
}

void CUndoStep::ReleaseRegion() {
    if (m_onDisk) regionImage.MakeEmpty();
}

bool CUndoStep::RestoreRegion(CDIBSection2& working) {
    if (!Usable(working) || !HasRegion()) return false;
    const int w = working.GetWidth(), h = working.GetHeight();
    const CRect r = ClampTo(region, w, h);
    if (r.Width() < 1 || r.Height() < 1) return false;
    if (m_onDisk && regionImage.IsEmpty() && m_diskWidth == w && m_diskHeight == h) {
        // Whole-picture step of the same size: read the file straight into the picture,
        // but only when it is complete, so that a damaged file cannot leave half of it.
        std::error_code ec;
        const std::string path = regionImage.GetTempPath();
        const std::uintmax_t expected = kRawHeaderBytes + std::uintmax_t(w) * std::uintmax_t(h) * 4;
        if (std::filesystem::file_size(path, ec) != expected || ec) return false;
        return working.LoadRaw(path) == 1;
    }
    const CDIBSection2* pixels = SwappedInRegion();
    if (!pixels) return false;
    const int cw = std::min(r.Width(), pixels->GetWidth());
    const int ch = std::min(r.Height(), pixels->GetHeight());
    for (int y = 0; y < ch; ++y)
        std::memcpy(working.PixelAt(r.left, r.top + y), pixels->PixelAt(0, y), std::size_t(cw) * 4);
    ReleaseRegion();
    return true;
}

// ---------------------------------------------------------------- CUndoHistory

CUndoHistory::CUndoHistory(int levels, std::string tempDir)
    : m_levels(std::clamp(levels, 0, kMaxLevels)), m_tempDir(std::move(tempDir)) {
    m_ring.resize(std::size_t(m_levels) + 1);
}

CUndoStep* CUndoHistory::Step(int slot) {
    if (slot < 0 || slot > m_levels) return nullptr;
    return m_ring[std::size_t(slot)].get();
}

void CUndoHistory::PushUndo(CCanvasModel& canvas) {
    canvas.unsavedChanges = true;
    if (canvas.holdUndo) return;
    TakeSnapshot(canvas);
}

void CUndoHistory::PushUndoForHold(CCanvasModel& canvas) {
    canvas.dirtyRect = {};
    TakeSnapshot(canvas);
}

void CUndoHistory::TakeSnapshot(CCanvasModel& canvas) {
    if (m_ringIndex > m_levels) m_ringIndex = 0;
    if (++m_available >= m_levels) {
        m_available = m_levels;
        m_wrapped = true;
    }
    auto& slot = m_ring[std::size_t(m_ringIndex)];
    if (!slot) slot = std::make_unique<CUndoStep>("und", m_tempDir);
    m_redo.clear();
    ++m_ringIndex;
    SaveState(*slot, canvas);
}

bool CUndoHistory::CanUndo(const CCanvasModel& canvas) const {
    return m_available > 0 && !canvas.holdUndo;
}

int CUndoHistory::Undo(CCanvasModel& canvas) {
    // The command is off while holding; a stray call must not pull the held picture.
    if (canvas.holdUndo) return 0;
    if (--m_available < 0) {
        m_available = 0;
        return 0;
    }
    if (--m_ringIndex < 0) m_ringIndex = m_levels;
    CUndoStep* step = m_ring[std::size_t(m_ringIndex)].get();
    if (!step) return 0;
    // The redo step keeps the same rectangle of the present picture. Across a size
    // change it keeps the whole picture: the rectangle of the other size would leave
    // the rest of the picture blank on redo.
    const bool sameSize = step->imageWidth == canvas.beforeImage.GetWidth() &&
                          step->imageHeight == canvas.beforeImage.GetHeight();
    canvas.dirtyRect = sameSize ? step->region : CRect{};
    auto redo = std::make_unique<CUndoStep>("rdo", m_tempDir);
    SaveState(*redo, canvas);
    m_redo.push_front(std::move(redo));
    return RestoreState(*step, canvas);
}

int CUndoHistory::Redo(CCanvasModel& canvas) {
    if (canvas.holdUndo || m_redo.empty()) return 0;
    if (++m_available > m_levels) {
        m_available = m_levels;
        return 0;
    }
    if (++m_ringIndex > m_levels) m_ringIndex = 0;
    std::unique_ptr<CUndoStep> step = std::move(m_redo.front());
    m_redo.pop_front();
    return RestoreState(*step, canvas);
}

void CUndoHistory::SetHoldUndo(CCanvasModel& canvas, bool on) {
    canvas.holdUndo = on;
    if (!on) return;
    m_ringIndex = 0;
    m_available = 0;
    PushUndoForHold(canvas);
}

void CUndoHistory::SaveState(CUndoStep& step, const CCanvasModel& canvas) {
    const CDIBSection2& before = canvas.beforeImage;
    const int w = Usable(before) ? before.GetWidth() : 0;
    const int h = Usable(before) ? before.GetHeight() : 0;
    CRect r = canvas.dirtyRect;
    if (r.left < 0 || r.top < 0 || r.right < 0 || r.bottom < 0 || r.left > w || r.right > w ||
        r.top > h || r.bottom > h || r.Width() == 0 || r.Height() == 0)
        r = CRect{0, 0, w, h};
    step.imageWidth = w;
    step.imageHeight = h;
    step.region = step.SaveRegion(before, r);
    step.cropMode = canvas.cropMode;
    step.cropRect = canvas.cropRect;
    step.floatX = canvas.floatX;
    step.floatY = canvas.floatY;
    step.textX = canvas.textX;
    step.textY = canvas.textY;
    try {
        CopyOrEmpty(step.floatImage, canvas.floatImage);
        CopyOrEmpty(step.textImage, canvas.textImage);
    } catch (const std::bad_alloc&) {
        step.floatImage.MakeEmpty();
        step.textImage.MakeEmpty();
    }
}

int CUndoHistory::RestoreState(CUndoStep& step, CCanvasModel& canvas) {
    if (!step.HasRegion()) return 0;
    // The picture now differs from what was last saved, whichever way it went.
    canvas.unsavedChanges = true;
    int result = 0;
    CDIBSection2& working = canvas.workingImage;
    if (step.imageWidth > 0 && step.imageHeight > 0 &&
        (working.IsEmpty() || step.imageWidth != working.GetWidth() ||
         step.imageHeight != working.GetHeight())) {
        working.Create(step.imageWidth, step.imageHeight, 32, true);
        canvas.ImageSizeChanged();
        result = 1;
    }
    step.RestoreRegion(working);
    canvas.SyncBeforeImage();
    CopyOrEmpty(canvas.floatImage, step.floatImage);
    CopyOrEmpty(canvas.floatBackup, step.floatImage);
    canvas.floatX = step.floatX;
    canvas.floatY = step.floatY;
    CopyOrEmpty(canvas.textImage, step.textImage);
    canvas.textX = step.textX;
    canvas.textY = step.textY;
    canvas.cropMode = step.cropMode;
    canvas.cropRect = step.cropRect;
    return result;
}

const CDIBSection2* CUndoHistory::GetStepImage(int slot, CRect& rect) {
    CUndoStep* step = Step(slot);
    if (!step) return nullptr;
    rect = step->region;
    return step->SwappedInRegion();
}

void CUndoHistory::ReleaseStepImages() {
    for (auto& step : m_ring)
        if (step) step->ReleaseRegion();
}

int CUndoHistory::HistorySlot() const {
    if (m_available < 1) return -1;
    const int slot = m_ringIndex - 1;
    return slot < 0 ? m_levels : slot;
}

} // namespace quiltara
