// The canvas's floating selection and pending crop: taking, moving, rescaling and
// merging the float, and applying the crop.
#include "core/document/CanvasModel.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace quiltara {

namespace {

struct Taps {
    int first = 0;
    std::vector<double> weights;
};

// Triangle-filter taps for resampling n samples to m: centre j / s without a
// half-pixel offset; reductions widen the filter to 1 / s.
std::vector<Taps> TriangleTaps(int n, int m) {
    const double s = double(m) / double(n);
    const double width = s >= 1.0 ? 1.0 : 1.0 / s;
    const int maxTaps = 2 * int(std::ceil(width)) + 1;
    std::vector<Taps> out(static_cast<std::size_t>(m));
    for (int j = 0; j < m; ++j) {
        const double c = j / s;
        const int lo = std::max(0, int(std::floor(c - width)));
        const int hi = std::min({n - 1, int(std::ceil(c + width)), lo + maxTaps - 1});
        Taps& t = out[std::size_t(j)];
        t.first = lo;
        double sum = 0;
        for (int i = lo; i <= hi; ++i) {
            const double d = s >= 1.0 ? std::fabs(c - i) : std::fabs(s * (c - i));
            const double f = d < 1.0 ? 1.0 - d : 0.0;
            const double w = s >= 1.0 ? f : s * f;
            t.weights.push_back(w);
            sum += w;
        }
        if (sum > 0)
            for (double& w : t.weights) w /= sum;
    }
    return out;
}

std::uint8_t ToByte(double v) {
    return std::uint8_t(std::clamp(int(std::floor(v)), 0, 255));
}

// Rescales source to w x h with the separable triangle filter: rows first, then
// columns, all four bytes of each pixel.
void RescaleBilinear(CDIBSection2& dst, const CDIBSection2& source, int w, int h) {
    const int sw = source.GetWidth(), sh = source.GetHeight();
    const std::vector<Taps> xs = TriangleTaps(sw, w);
    const std::vector<Taps> ys = TriangleTaps(sh, h);
    std::vector<std::uint8_t> rows(std::size_t(w) * std::size_t(sh) * 4);
    for (int y = 0; y < sh; ++y) {
        const std::uint8_t* s = source.GetRow(y);
        std::uint8_t* d = rows.data() + std::size_t(y) * std::size_t(w) * 4;
        for (int x = 0; x < w; ++x) {
            const Taps& t = xs[std::size_t(x)];
            double acc[4] = {0, 0, 0, 0};
            for (std::size_t k = 0; k < t.weights.size(); ++k) {
                const std::uint8_t* p = s + std::size_t(t.first + int(k)) * 4;
                for (int c = 0; c < 4; ++c) acc[c] += p[c] * t.weights[k];
            }
            for (int c = 0; c < 4; ++c) d[std::size_t(x) * 4 + std::size_t(c)] = ToByte(acc[c]);
        }
    }
    dst.Create(w, h, 32, true);
    for (int y = 0; y < h; ++y) {
        const Taps& t = ys[std::size_t(y)];
        std::uint8_t* d = dst.GetRow(y);
        for (int x = 0; x < w; ++x) {
            double acc[4] = {0, 0, 0, 0};
            for (std::size_t k = 0; k < t.weights.size(); ++k) {
                const std::uint8_t* p =
                    rows.data() +
                    (std::size_t(t.first + int(k)) * std::size_t(w) + std::size_t(x)) * 4;
                for (int c = 0; c < 4; ++c) acc[c] += p[c] * t.weights[k];
            }
            for (int c = 0; c < 4; ++c) d[std::size_t(x) * 4 + std::size_t(c)] = ToByte(acc[c]);
        }
    }
}

} // namespace

void CCanvasModel::OriginalFollowsWorkingImage() {
    if (!originalRef || m_workingImage.IsEmpty()) return;
    // Copy swaps the Original out again by itself when the document keeps it on disk.
    TellPictureError(originalRef->Copy(&m_workingImage), *originalRef);
}

CRect CCanvasModel::ToMemoryRows(CRect r) const {
    const int h = m_workingImage.GetHeight();
    return CRect{r.left, h - r.bottom, r.right, h - r.top};
}

CRect CCanvasModel::FloatRect() const {
    if (!HasFloat()) return {};
    return CRect{floatX, floatY, floatX + m_floatImage.GetWidth(),
                 floatY + m_floatImage.GetHeight()};
}

bool CCanvasModel::MergeFloat() {
    if (!HasFloat()) return false;
    // The step keeps the canvas as the edit found it, float included, so that undoing
    // the merge brings the float back instead of losing it with the old pixels.
    CCanvasEdit edit = BeginEdit();
    const int y = m_workingImage.GetHeight() - floatY - m_floatImage.GetHeight();
    edit.Image().PasteFrom(m_floatImage, floatX, y, 0);
    m_floatImage.MakeEmpty();
    m_floatBackup.MakeEmpty();
    edit.Commit();
    return true;
}

bool CCanvasModel::DeleteFloat() {
    if (!HasFloat()) return false;
    m_floatImage.MakeEmpty();
    m_floatBackup.MakeEmpty();
    return true;
}

bool CCanvasModel::TakeFloat(CRect imageRect) {
    if (m_workingImage.IsEmpty()) return false;
    CRect r = imageRect.Normalized();
    // Clip to the picture here, so that a band reaching past the left or top edge
    // still places the float over the pixels it was taken from.
    r.left = std::max(r.left, 0);
    r.top = std::max(r.top, 0);
    r.right = std::min(r.right, m_workingImage.GetWidth());
    r.bottom = std::min(r.bottom, m_workingImage.GetHeight());
    if (r.Width() <= 0 || r.Height() <= 0) return false;
    m_floatImage.Crop(&m_workingImage, ToMemoryRows(r));
    m_floatBackup.Copy(&m_floatImage);
    floatX = r.left;
    floatY = r.top;
    return HasFloat();
}

void CCanvasModel::CropToolPress() {
    m_floatImage.MakeEmpty();
    m_floatBackup.MakeEmpty();
}

void CCanvasModel::SetCropRect(CRect imageRect) {
    cropMode = true;
    cropRect = imageRect.Normalized();
}

bool CCanvasModel::FinishFloatTracking(CRect tracker) {
    if (!HasFloat()) return false;
    const CRect r = tracker.Normalized();
    floatX = r.left;
    floatY = r.top;
    if (r.Width() > 0 && r.Height() > 0 &&
        (r.Width() != m_floatImage.GetWidth() || r.Height() != m_floatImage.GetHeight())) {
        const CDIBSection2& source = m_floatBackup.IsEmpty() ? m_floatImage : m_floatBackup;
        CDIBSection2 scaled;
        RescaleBilinear(scaled, source, r.Width(), r.Height());
        m_floatImage = std::move(scaled);
    }
    return true;
}

void CCanvasModel::FinishCropTracking(CRect tracker) {
    cropRect = tracker.Normalized();
}

bool CCanvasModel::FinishCrop() {
    if (!cropMode || m_workingImage.IsEmpty()) return false;
    cropRect = cropRect.Normalized();
    // Checked before the edit: a refused crop changes nothing and should not use up an
    // undo step.
    if (cropRect.Width() < 5 || cropRect.Height() < 5) return false;
    // The step keeps the pending crop: undoing the crop brings it back.
    CCanvasEdit edit = BeginEdit();
    CDIBSection2 cropped;
    cropped.Crop(&edit.Image(), ToMemoryRows(cropRect));
    // A rectangle wholly outside the picture crops nothing; the picture stays.
    if (!cropped.IsEmpty()) edit.Image() = std::move(cropped);
    cropMode = false;
    edit.Commit(); // the size changed: the model takes it and recentres
    if (originalRef && (!originalRef->IsEmpty() || originalRef->IsSwappedOut()))
        TellPictureError(originalRef->Copy(&m_workingImage), *originalRef);
    return true;
}

CCanvasModel::DoubleClickAction CCanvasModel::DoubleClickActionFor(int tool) const {
    if (tool != 0) return DoubleClickAction::None;
    if (HasText()) return DoubleClickAction::EditText;
    if (HasFloat()) return DoubleClickAction::MergeFloat;
    if (cropMode) return DoubleClickAction::FinishCrop;
    return DoubleClickAction::None;
}

} // namespace quiltara
