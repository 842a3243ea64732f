#include "core/paint/DabPainter.h"

#include "core/base/WrapIndex.h"
#include "core/paint/BlendModes.h"

#include <algorithm>

namespace quiltara {

namespace {

bool Usable(const CDIBSection2* p) {
    return p && !p->IsEmpty() && !p->IsSwappedOut() && p->GetBitsPerPixel() == 32;
}

// The mean colour of the 3 x 3 block around (cx, cy), neighbours beyond the picture
// replaced by the nearest pixel inside.
CEdgeSmartColor CentreMean(const CDIBSection2& read, int cx, int cy) {
    const int w = read.GetWidth(), h = read.GetHeight();
    int sums[3] = {0, 0, 0};
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            const std::uint8_t* p =
                read.PixelAt(std::clamp(cx + dx, 0, w - 1), std::clamp(cy + dy, 0, h - 1));
            for (int i = 0; i < 3; ++i) sums[i] += p[i];
        }
    return CEdgeSmartColor::From(sums[0] / 9, sums[1] / 9, sums[2] / 9);
}

inline std::uint8_t Clamp255(int v) {
    return std::uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

} // namespace

int PressureAlpha(int a, int t, int mode) {
    int r = a;
    switch (mode) {
    case 1:
    case 5:
        r = a + t - 255;
        break;
    case 2:
    case 6:
        r = int(t * (1.0 / 255) * a);
        break;
    case 3:
    case 7: {
        const int k = 255 - (255 - t) * (255 - t) / 255;
        r = int((a + k - 255) * k * (1.0 / 255));
        break;
    }
    default:
        break; // "None" and "Speed" leave the stamp as it is
    }
    return r < 0 ? 0 : r;
}

namespace {

// Everything the pixel loop needs, worked out once per dab.
struct DabLoopState {
    CDIBSection2* destination;
    CDIBSection2* read;
    const CDabArgs* args;
    const CDIBSection2* stamp;
    const CDIBSection2* source;
    IDabColorSource* hook;
    int W, H, sw, sh, tw, th;
    int kind, opacity, strength;
    bool overlays, useCentre, useTexture, feedback;
    int alphaTable[256];
    int centre[3], back[3], over[3];
    CEdgeSmartColor mean;
};

// The colour-space products of "Edge-Smart" for every byte value: the same doubles
// as the expressions multiply out, added in the same order, so the weights match.
struct EdgeSmartTables {
    double yr[256], yg[256], yb[256], br[256], bg[256], bb[256], rr[256], rg[256], rb[256];
    EdgeSmartTables() {
        for (int v = 0; v < 256; ++v) {
            yr[v] = 0.299 * v, yg[v] = 0.587 * v, yb[v] = 0.114 * v;
            br[v] = -0.16874 * v, bg[v] = 0.33126 * v, bb[v] = 0.5 * v;
            rr[v] = 0.5 * v, rg[v] = 0.41869 * v, rb[v] = 0.08131 * v;
        }
    }
    CEdgeSmartColor From(int b, int g, int r) const {
        CEdgeSmartColor e;
        e.y = int(yr[r] + yg[g] + yb[b]);
        e.cb = int(br[r] - bg[g] + bb[b]);
        e.cr = int(rr[r] - rg[g] - rb[b]);
        return e;
    }
};

const EdgeSmartTables& EdgeTables() {
    static const EdgeSmartTables tables;
    return tables;
}

// One run of the plain dab (stamp colour, no overlay, texture or operator) along a
// row, n pixels that do not wrap. All values stay within 0 ... 255 * 256, so the
// shifts are the divisions and the clamps never bite; a pixel the stamp does not
// cover (A = 0) comes out as it was.
template <int Mode>
void PlainRun(const DabLoopState& s, const std::uint8_t* sp, const std::uint8_t* u, std::uint8_t* d,
              int n) {
    const int o = s.opacity;
    const EdgeSmartTables& edge = EdgeTables();
    for (int i = 0; i < n; ++i, sp += 4, u += 4, d += 4) {
        const int A = s.alphaTable[sp[3]];
        if (A <= 0) continue;
        int c[3] = {sp[0], sp[1], sp[2]};
        if constexpr (Mode == kBlendEdgeSmart) {
            const int k = EdgeSmartWeight(edge.From(u[0], u[1], u[2]), s.mean);
            for (int ch = 0; ch < 3; ++ch) c[ch] = (k * u[ch] + (255 - k) * c[ch]) >> 8;
        } else {
            BlendPixel(Mode, c, u, s.mean);
        }
        if (o == 0)
            c[0] = u[0], c[1] = u[1], c[2] = u[2];
        else if (o < 255)
            for (int ch = 0; ch < 3; ++ch) c[ch] = (c[ch] * o + u[ch] * (256 - o)) / 256;
        if (A >= 255) {
            for (int ch = 0; ch < 3; ++ch) d[ch] = Clamp255(c[ch]);
        } else {
            for (int ch = 0; ch < 3; ++ch) {
                const int v = c[ch] * A + d[ch] * (256 - A);
                d[ch] = v <= 0 ? 0 : v >= 255 * 256 ? 255 : std::uint8_t(v >> 8);
            }
        }
    }
}

// The plain dab for "Normal" at full opacity: no branch in the pixel loop, so the
// compiler can work several pixels at once.
#if defined(__x86_64__) && defined(__GNUC__)
__attribute__((target_clones("avx2", "default")))
#endif
void PlainNormalRun(const int* alphaTable, const std::uint8_t* sp, std::uint8_t* d, int n) {
    for (int i = 0; i < n; ++i) {
        const unsigned A = unsigned(alphaTable[sp[4 * i + 3]]);
        for (int ch = 0; ch < 3; ++ch) {
            const unsigned c = sp[4 * i + ch], old = d[4 * i + ch];
            const unsigned mixed = (c * A + old * (256 - A)) >> 8;
            d[4 * i + ch] = std::uint8_t(A >= 255 ? c : mixed);
        }
    }
}

template <int Mode> void PlainDabLoop(const DabLoopState& s) {
    const CDabArgs& args = *s.args;
    const int W = s.W;
    const int firstX = WrapIndex(args.left, W);
    for (int y0 = 0; y0 < s.sh; ++y0) {
        const int Y = WrapIndex((long long)args.top + y0, s.H);
        std::uint8_t* dRow = s.destination->PixelAt(0, Y);
        const std::uint8_t* rRow = s.read->PixelAt(0, Y);
        const std::uint8_t* sp = s.stamp->PixelAt(0, y0);
        // The row in runs that end at the picture's right edge.
        for (int x0 = 0, X = firstX; x0 < s.sw;) {
            const int n = std::min(s.sw - x0, W - X);
            if (Mode == kBlendNormal && s.opacity >= 255)
                PlainNormalRun(s.alphaTable, sp + 4 * x0, dRow + 4 * X, n);
            else
                PlainRun<Mode>(s, sp + 4 * x0, rRow + 4 * X, dRow + 4 * X, n);
            x0 += n;
            X = 0;
        }
    }
}

// The pixel loop, made once per blend mode and once more for the plain case (stamp
// colour, no overlay, texture or operator), so that the common dab runs without the
// per-pixel decisions.
template <int Mode, bool Plain> void DabLoop(const DabLoopState& s) {
    const CDabArgs& args = *s.args;
    const int W = s.W;
    for (int y0 = 0; y0 < s.sh; ++y0) {
        const long long y = (long long)args.top + y0;
        const int Y = WrapIndex(y, s.H);
        std::uint8_t* dRow = s.destination->PixelAt(0, Y);
        std::uint8_t* rRow = s.read->PixelAt(0, Y);
        const std::uint8_t* sp = s.stamp->PixelAt(0, y0);
        const std::uint8_t* tRow = !Plain && s.useTexture
                                       ? s.source->PixelAt(0, WrapIndex(y + args.offsetY, s.th))
                                       : nullptr;
        int tx = !Plain && s.useTexture ? WrapIndex((long long)args.left + args.offsetX, s.tw) : 0;
        int X = WrapIndex(args.left, W);
        for (int x0 = 0; x0 < s.sw; ++x0, sp += 4) {
            const int A = s.alphaTable[sp[3]];
            const std::uint8_t* u = rRow + 4 * X;
            int c[3];
            const bool write = A > 0;
            if (Plain) {
                if (!write) goto next;
                c[0] = sp[0], c[1] = sp[1], c[2] = sp[2];
            } else if (s.hook) {
                CDabPixel px;
                px.X = X, px.Y = Y, px.x = int((long long)args.left + x0), px.y = int(y);
                px.x0 = x0, px.y0 = y0, px.u = u, px.stamp = sp;
                s.hook->ColorAt(*s.read, args, px, c);
                if (!write) goto next;
            } else {
                if (!write) goto next;
                switch (s.kind) {
                case kSourcePlain:
                    c[0] = sp[0], c[1] = sp[1], c[2] = sp[2];
                    break;
                case kSourceBackground:
                    c[0] = s.back[0], c[1] = s.back[1], c[2] = s.back[2];
                    break;
                case kSourceHistory: {
                    const int hx = X - args.offsetX, hy = Y - args.offsetY;
                    const std::uint8_t* p = u;
                    if (s.source && hx >= 0 && hy >= 0 && hx < s.tw && hy < s.th)
                        p = s.source->PixelAt(hx, hy);
                    c[0] = p[0], c[1] = p[1], c[2] = p[2];
                    break;
                }
                case kSourceClone: {
                    const long long sx = (long long)args.offsetX + x0,
                                    sy = (long long)args.offsetY + y0;
                    const std::uint8_t* p = u;
                    if (!s.source)
                        p = s.read->PixelAt(WrapIndex(sx, W), WrapIndex(sy, s.H));
                    else if (s.strength != 0)
                        p = s.source->PixelAt(WrapIndex(sx, s.tw), WrapIndex(sy, s.th));
                    else if (sx >= 0 && sy >= 0 && sx < s.tw && sy < s.th)
                        p = s.source->PixelAt(int(sx), int(sy));
                    c[0] = p[0], c[1] = p[1], c[2] = p[2];
                    break;
                }
                default:
                    c[0] = u[0], c[1] = u[1], c[2] = u[2];
                    break; // a kind without its operator
                }
                if (s.overlays) {
                    // The history picture takes the place of the overlay colour, as a
                    // texture would; the other kinds start from the overlay colour.
                    if (args.colorOverlay && s.kind != kSourceHistory)
                        c[0] = s.over[0], c[1] = s.over[1], c[2] = s.over[2];
                    if (s.useCentre) {
                        c[0] = s.centre[0], c[1] = s.centre[1], c[2] = s.centre[2];
                    } else if (s.useTexture) {
                        const std::uint8_t* T = tRow + 4 * tx;
                        const int h = s.strength;
                        if (args.textureMode == 1 || args.textureMode == 2) {
                            const int k = (T[0] + T[1] + T[2]) / 3 * h / 255;
                            for (int i = 0; i < 3; ++i)
                                c[i] = args.textureMode == 2
                                           ? ((255 - k) * c[i] + k * s.back[i]) >> 8
                                           : 255 - (255 - c[i]) * (255 - k) / 255;
                        } else {
                            for (int i = 0; i < 3; ++i) c[i] = (T[i] * h + c[i] * (255 - h)) >> 8;
                        }
                    }
                    if (args.colorOverlay) {
                        const int g = 255 - (sp[0] + sp[1] + sp[2]) / 3;
                        for (int i = 0; i < 3; ++i) c[i] = c[i] > g ? c[i] - g : 0;
                    }
                }
            }
            {
                BlendPixel(Mode, c, u, s.mean);
                // Both mixes are exact in integers: c * o / 256 + u * (1 - o / 256) has
                // no rounding in double precision, so one division truncates alike.
                const int o = s.opacity;
                if (o == 0)
                    c[0] = u[0], c[1] = u[1], c[2] = u[2];
                else if (o < 255)
                    for (int i = 0; i < 3; ++i) c[i] = (c[i] * o + u[i] * (256 - o)) / 256;
                std::uint8_t* d = dRow + 4 * X;
                if (A >= 255) {
                    for (int i = 0; i < 3; ++i) d[i] = Clamp255(c[i]);
                } else {
                    for (int i = 0; i < 3; ++i) {
                        const int v = c[i] * A + d[i] * (256 - A);
                        d[i] = v <= 0 ? 0 : v >= 255 * 256 ? 255 : std::uint8_t(v >> 8);
                    }
                }
                if (!Plain && s.feedback) std::copy_n(d, 4, rRow + 4 * X);
            }
        next:
            if (++X == W) X = 0;
            if (!Plain && s.useTexture && ++tx == s.tw) tx = 0;
        }
    }
}

template <int Mode> void RunDabLoop(const DabLoopState& s, bool plain) {
    if (plain)
        PlainDabLoop<Mode>(s);
    else
        DabLoop<Mode, false>(s);
}

} // namespace

bool PaintDab(CDIBSection2& destination, CDIBSection2& readImage, const CDabArgs& args) {
    if (!Usable(&destination) || !Usable(&readImage) || !Usable(args.stamp)) return false;
    const int W = destination.GetWidth(), H = destination.GetHeight();
    if (readImage.GetWidth() != W || readImage.GetHeight() != H) return false;

    DabLoopState s;
    s.destination = &destination;
    s.read = &readImage;
    s.args = &args;
    s.stamp = args.stamp;
    s.W = W, s.H = H;
    s.sw = args.stamp->GetWidth(), s.sh = args.stamp->GetHeight();
    // The pressure mode as a table over the stamp's alpha: one look-up per pixel.
    const int pressure = std::clamp(args.pressure, 0, 255);
    for (int a = 0; a < 256; ++a) s.alphaTable[a] = PressureAlpha(a, pressure, args.pressureMode);

    s.kind = args.colorSource;
    s.opacity = std::clamp(args.opacity, 0, 255);
    const int blend = args.blendMode >= 0 && args.blendMode < kBlendModeCount ? args.blendMode : 0;
    s.source = Usable(args.source) ? args.source : nullptr;
    const bool builtIn = s.kind == kSourcePlain || s.kind == kSourceClone ||
                         s.kind == kSourceBackground || s.kind == kSourceHistory;
    s.hook = builtIn ? nullptr : args.customSource;
    s.overlays = s.kind == kSourcePlain || s.kind == kSourceBackground || s.kind == kSourceHistory;
    s.strength = std::clamp(args.textureStrength, 0, 255);
    s.useCentre = s.overlays && args.centreSampling;
    s.useTexture = !args.centreSampling && s.strength > 0 && s.source &&
                   (s.kind == kSourcePlain || s.kind == kSourceBackground);
    s.feedback = s.kind == kSourceClone && args.feedback && &readImage != &destination;
    s.tw = s.source ? s.source->GetWidth() : 1;
    s.th = s.source ? s.source->GetHeight() : 1;

    const long long centreX = (long long)args.left + s.sw / 2,
                    centreY = (long long)args.top + s.sh / 2;
    if (blend == kBlendEdgeSmart)
        s.mean = CentreMean(readImage, WrapIndex(centreX, W), WrapIndex(centreY, H));
    s.centre[0] = s.centre[1] = s.centre[2] = 0; // black when there is no source
    if (s.useCentre && s.source) {
        const std::uint8_t* p =
            s.source->PixelAt(WrapIndex((long long)WrapIndex(centreX, W) + args.offsetX, s.tw),
                              WrapIndex((long long)WrapIndex(centreY, H) + args.offsetY, s.th));
        s.centre[0] = p[0], s.centre[1] = p[1], s.centre[2] = p[2];
    }
    s.back[0] = BlueOf(args.backColor), s.back[1] = GreenOf(args.backColor),
    s.back[2] = RedOf(args.backColor);
    s.over[0] = BlueOf(args.overlayColor), s.over[1] = GreenOf(args.overlayColor),
    s.over[2] = RedOf(args.overlayColor);
    if (s.hook) s.hook->BeginDab(readImage, args);

    const bool plain =
        s.kind == kSourcePlain && !args.colorOverlay && !s.useCentre && !s.useTexture;
    switch (blend) {
    case 0:
        RunDabLoop<0>(s, plain);
        break;
    case 1:
        RunDabLoop<1>(s, plain);
        break;
    case 2:
        RunDabLoop<2>(s, plain);
        break;
    case 3:
        RunDabLoop<3>(s, plain);
        break;
    case 4:
        RunDabLoop<4>(s, plain);
        break;
    case 5:
        RunDabLoop<5>(s, plain);
        break;
    case 6:
        RunDabLoop<6>(s, plain);
        break;
    case 7:
        RunDabLoop<7>(s, plain);
        break;
    case 8:
        RunDabLoop<8>(s, plain);
        break;
    case 9:
        RunDabLoop<9>(s, plain);
        break;
    case 10:
        RunDabLoop<10>(s, plain);
        break;
    default:
        RunDabLoop<11>(s, plain);
        break;
    }
    return true;
}

} // namespace quiltara
