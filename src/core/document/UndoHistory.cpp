#include "core/document/UndoHistory.h"

#include "core/base/Messages.h"

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

CUndoStep& CUndoHistory::NextStep() {
    if (m_ringIndex > m_levels) m_ringIndex = 0;
    if (++m_available >= m_levels) {
        m_available = m_levels;
        m_wrapped = true;
    }
    auto& slot = m_ring[std::size_t(m_ringIndex)];
    if (!slot) slot = std::make_unique<CUndoStep>("und", m_tempDir);
    m_redo.clear();
    ++m_ringIndex;
    return *slot;
}

CUndoStep* CUndoHistory::StepBack() {
    if (--m_available < 0) {
        m_available = 0;
        return nullptr;
    }
    if (--m_ringIndex < 0) m_ringIndex = m_levels;
    return m_ring[std::size_t(m_ringIndex)].get();
}

CUndoStep& CUndoHistory::NewRedoStep() {
    m_redo.push_front(std::make_unique<CUndoStep>("rdo", m_tempDir));
    return *m_redo.front();
}

std::unique_ptr<CUndoStep> CUndoHistory::TakeRedoStep() {
    if (m_redo.empty()) return nullptr;
    if (++m_available > m_levels) {
        m_available = m_levels;
        return nullptr;
    }
    if (++m_ringIndex > m_levels) m_ringIndex = 0;
    std::unique_ptr<CUndoStep> step = std::move(m_redo.front());
    m_redo.pop_front();
    return step;
}

void CUndoHistory::Restart() {
    m_ringIndex = 0;
    m_available = 0;
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
