#include "paint/DabPainter.h"

#include "paint/BlendModes.h"

#include <algorithm>

namespace quiltara {

namespace {

inline int Wrap(long long v, int n) {
    const long long r = v % n;
    return int(r < 0 ? r + n : r);
}

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

bool PaintDab(CDIBSection2& destination, CDIBSection2& readImage, const CDabArgs& args) {
    if (!Usable(&destination) || !Usable(&readImage) || !Usable(args.stamp)) return false;
    const int W = destination.GetWidth(), H = destination.GetHeight();
    if (readImage.GetWidth() != W || readImage.GetHeight() != H) return false;
    const CDIBSection2& stamp = *args.stamp;
    const int sw = stamp.GetWidth(), sh = stamp.GetHeight();

    // The pressure mode as a table over the stamp's alpha: one look-up per pixel.
    int alphaTable[256];
    const int pressure = std::clamp(args.pressure, 0, 255);
    for (int a = 0; a < 256; ++a) alphaTable[a] = PressureAlpha(a, pressure, args.pressureMode);

    const int kind = args.colorSource;
    const int opacity = std::clamp(args.opacity, 0, 255);
    const int blend = args.blendMode >= 0 && args.blendMode < kBlendModeCount ? args.blendMode : 0;
    const CDIBSection2* source = Usable(args.source) ? args.source : nullptr;
    const bool builtIn = kind == kSourcePlain || kind == kSourceClone ||
                         kind == kSourceBackground || kind == kSourceHistory;
    IDabColorSource* hook = builtIn ? nullptr : args.customSource;
    const bool overlays =
        kind == kSourcePlain || kind == kSourceBackground || kind == kSourceHistory;
    const int strength = std::clamp(args.textureStrength, 0, 255);
    const bool useCentre = overlays && args.centreSampling;
    const bool useTexture = !args.centreSampling && strength > 0 && source &&
                            (kind == kSourcePlain || kind == kSourceBackground);
    const bool feedback = kind == kSourceClone && args.feedback && &readImage != &destination;

    const long long centreX = (long long)args.left + sw / 2, centreY = (long long)args.top + sh / 2;
    CEdgeSmartColor mean;
    if (blend == kBlendEdgeSmart) mean = CentreMean(readImage, Wrap(centreX, W), Wrap(centreY, H));
    int centre[3] = {0, 0, 0}; // black when there is no source
    if (useCentre && source) {
        const std::uint8_t* p =
            source->PixelAt(Wrap((long long)Wrap(centreX, W) + args.offsetX, source->GetWidth()),
                            Wrap((long long)Wrap(centreY, H) + args.offsetY, source->GetHeight()));
        centre[0] = p[0], centre[1] = p[1], centre[2] = p[2];
    }
    const int back[3] = {BlueOf(args.backColor), GreenOf(args.backColor), RedOf(args.backColor)};
    const int over[3] = {BlueOf(args.overlayColor), GreenOf(args.overlayColor),
                         RedOf(args.overlayColor)};
    const int tw = source ? source->GetWidth() : 1, th = source ? source->GetHeight() : 1;
    if (hook) hook->BeginDab(readImage, args);

    for (int y0 = 0; y0 < sh; ++y0) {
        const long long y = (long long)args.top + y0;
        const int Y = Wrap(y, H);
        std::uint8_t* dRow = destination.PixelAt(0, Y);
        std::uint8_t* rRow = readImage.PixelAt(0, Y);
        const std::uint8_t* sp = stamp.PixelAt(0, y0);
        const std::uint8_t* tRow =
            useTexture ? source->PixelAt(0, Wrap(y + args.offsetY, th)) : nullptr;
        int tx = useTexture ? Wrap((long long)args.left + args.offsetX, tw) : 0;
        int X = Wrap(args.left, W);
        for (int x0 = 0; x0 < sw; ++x0, sp += 4) {
            const int A = alphaTable[sp[3]];
            const std::uint8_t* u = rRow + 4 * X;
            int c[3];
            bool write = A > 0;
            if (hook) {
                CDabPixel px;
                px.X = X, px.Y = Y, px.x = int((long long)args.left + x0), px.y = int(y);
                px.x0 = x0, px.y0 = y0, px.u = u, px.stamp = sp;
                hook->ColorAt(readImage, args, px, c);
            } else if (write) {
                switch (kind) {
                case kSourcePlain:
                    c[0] = sp[0], c[1] = sp[1], c[2] = sp[2];
                    break;
                case kSourceBackground:
                    c[0] = back[0], c[1] = back[1], c[2] = back[2];
                    break;
                case kSourceHistory: {
                    const int hx = X - args.offsetX, hy = Y - args.offsetY;
                    const std::uint8_t* p = u;
                    if (source && hx >= 0 && hy >= 0 && hx < source->GetWidth() &&
                        hy < source->GetHeight())
                        p = source->PixelAt(hx, hy);
                    c[0] = p[0], c[1] = p[1], c[2] = p[2];
                    break;
                }
                case kSourceClone: {
                    const long long sx = (long long)args.offsetX + x0,
                                    sy = (long long)args.offsetY + y0;
                    const std::uint8_t* p = u;
                    if (!source)
                        p = readImage.PixelAt(Wrap(sx, W), Wrap(sy, H));
                    else if (strength != 0)
                        p = source->PixelAt(Wrap(sx, tw), Wrap(sy, th));
                    else if (sx >= 0 && sy >= 0 && sx < tw && sy < th)
                        p = source->PixelAt(int(sx), int(sy));
                    c[0] = p[0], c[1] = p[1], c[2] = p[2];
                    break;
                }
                default:
                    c[0] = u[0], c[1] = u[1], c[2] = u[2];
                    break; // a kind without its operator
                }
                if (overlays) {
                    // The history picture takes the place of the overlay colour, as a
                    // texture would; the other kinds start from the overlay colour.
                    if (args.colorOverlay && kind != kSourceHistory)
                        c[0] = over[0], c[1] = over[1], c[2] = over[2];
                    if (useCentre) {
                        c[0] = centre[0], c[1] = centre[1], c[2] = centre[2];
                    } else if (useTexture) {
                        const std::uint8_t* T = tRow + 4 * tx;
                        if (args.textureMode == 1 || args.textureMode == 2) {
                            const int k = (T[0] + T[1] + T[2]) / 3 * strength / 255;
                            for (int i = 0; i < 3; ++i)
                                c[i] = args.textureMode == 2 ? ((255 - k) * c[i] + k * back[i]) >> 8
                                                             : 255 - (255 - c[i]) * (255 - k) / 255;
                        } else {
                            for (int i = 0; i < 3; ++i)
                                c[i] = (T[i] * strength + c[i] * (255 - strength)) >> 8;
                        }
                    }
                    if (args.colorOverlay) {
                        const int g = 255 - (sp[0] + sp[1] + sp[2]) / 3;
                        for (int i = 0; i < 3; ++i) c[i] = c[i] > g ? c[i] - g : 0;
                    }
                }
            }
            if (write) {
                BlendPixel(blend, c, u, mean);
                // Both mixes are exact in integers: c * o / 256 + u * (1 - o / 256) has
                // no rounding in double precision, so one division truncates alike.
                if (opacity == 0)
                    c[0] = u[0], c[1] = u[1], c[2] = u[2];
                else if (opacity < 255)
                    for (int i = 0; i < 3; ++i)
                        c[i] = (c[i] * opacity + u[i] * (256 - opacity)) / 256;
                std::uint8_t* d = dRow + 4 * X;
                if (A >= 255) {
                    for (int i = 0; i < 3; ++i) d[i] = Clamp255(c[i]);
                } else {
                    for (int i = 0; i < 3; ++i) {
                        const int v = c[i] * A + d[i] * (256 - A);
                        d[i] = v <= 0 ? 0 : v >= 255 * 256 ? 255 : std::uint8_t(v >> 8);
                    }
                }
                if (feedback) std::copy_n(d, 4, rRow + 4 * X);
            }
            if (++X == W) X = 0;
            if (useTexture && ++tx == tw) tx = 0;
        }
    }
    return true;
}

} // namespace quiltara
