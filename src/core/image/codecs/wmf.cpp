// Windows metafiles: reading placeable and plain metafiles through our own
// rasteriser (bitmaps, filled rectangles, polygons, ellipses, arcs, chords and pies,
// lines, text), or through the enhanced metafile that a converted file carries in its
// comments (with its Bezier curves, which the Windows records only hold flattened);
// writing a placeable metafile that holds the picture as one bitmap record.
#include "core/image/codecs/MetafileCanvas.h"

#include <algorithm>

namespace quiltara {

namespace {

enum : std::uint16_t {
    kEOF = 0x0000,
    kSetWindowOrg = 0x020B,
    kSetWindowExt = 0x020C,
    kSetViewportOrg = 0x020D,
    kSetViewportExt = 0x020E,
    kSetMapMode = 0x0103,
    kSelectObject = 0x012D,
    kDeleteObject = 0x01F0,
    kCreatePen = 0x02FA,
    kCreateBrush = 0x02FC,
    kMoveTo = 0x0214,
    kLineTo = 0x0213,
    kRectangle = 0x041B,
    kEllipse = 0x0418,
    kIntersectClipRect = 0x0416,
    kSetBkColor = 0x0201,
    kSetBkMode = 0x0102,
    kSaveDC = 0x001E,
    kRestoreDC = 0x0127,
    kArc = 0x0817,
    kPie = 0x081A,
    kChord = 0x0830,
    kPolygon = 0x0324,
    kPolyline = 0x0325,
    kPolyPolygon = 0x0538,
    kDibBitBlt = 0x0940,
    kDibStretchBlt = 0x0B41,
    kStretchDib = 0x0F43,
    kCreateFontIndirect = 0x02FB,
    kSetTextColor = 0x0209,
    kSetTextAlign = 0x012E,
    kTextOut = 0x0521,
    kExtTextOut = 0x0A32,
};

// Takes the first free slot of the object table, as the records' indexes count them.
void AddObject(std::vector<MetaObject>& objects, MetaObject o) {
    auto slot = std::find_if(objects.begin(), objects.end(),
                             [](const MetaObject& m) { return m.kind == MetaObject::kNone; });
    if (slot != objects.end())
        *slot = std::move(o);
    else if (objects.size() < 65535)
        objects.push_back(std::move(o));
}

constexpr std::uint32_t kPlaceableKey = 0x9AC6CDD7;
constexpr std::uint16_t kEscape = 0x0626, kCommentEscape = 0x000F;
constexpr std::uint32_t kEnhancedComment = 0x43464D57; // "WMFC"

// The enhanced metafile that Windows keeps in the comment records of a metafile it
// converted from one, in chunks; empty unless every chunk is there.
std::vector<std::uint8_t> EmbeddedEMF(const std::uint8_t* data, std::size_t size,
                                      std::size_t recordsStart) {
    std::vector<std::uint8_t> emf;
    std::uint64_t total = 0;
    CByteReader r(data, size, recordsStart);
    while (r.Remaining() >= 6) {
        const std::size_t start = r.Pos();
        const std::uint32_t words = r.U32LE();
        const std::uint16_t function = r.U16LE();
        if (words < 3 || words > (r.Remaining() + 6) / 2 || function == 0) break;
        const std::size_t end = start + std::size_t(words) * 2;
        CByteReader p(data, end, r.Pos());
        if (function == kEscape && p.U16LE() == kCommentEscape) {
            p.U16LE(); // byte count
            if (p.U32LE() == kEnhancedComment && p.U32LE() == 1) {
                p.Skip(4 + 2 + 4 + 4); // version, checksum, flags, number of chunks
                const std::uint32_t chunk = p.U32LE();
                p.U32LE(); // bytes still to come
                const std::uint32_t whole = p.U32LE();
                const std::uint8_t* bytes = p.Take(chunk);
                if (!bytes || whole > size || (total && whole != total) ||
                    emf.size() + chunk > whole)
                    return {};
                total = whole;
                emf.insert(emf.end(), bytes, bytes + chunk);
            }
        }
        r.Seek(end);
    }
    if (!total || emf.size() != total) return {};
    return emf;
}

} // namespace

ReadResult RenderWMF(const std::uint8_t* data, std::size_t size, int defaultWidth,
                     int defaultHeight, std::uint32_t background) {
    auto fail = [] { return ReadResult::Failure(kErrBadMetafile); };
    CByteReader r(data, size);
    MetaMapping map;
    int w = defaultWidth, h = defaultHeight;
    bool haveFrame = false;
    long long frameLeft = 0, frameTop = 0, frameWidth = 0, frameHeight = 0;
    if (r.U32LE() == kPlaceableKey) {
        r.U16LE();
        const long long left = r.S16LE(), top = r.S16LE(), right = r.S16LE(), bottom = r.S16LE();
        const long long inch = r.U16LE();
        r.Skip(6);
        if (!r.Ok()) return fail();
        if (inch > 0 && right != left && bottom != top) {
            frameLeft = std::min(left, right), frameTop = std::min(top, bottom);
            frameWidth = std::llabs(right - left), frameHeight = std::llabs(bottom - top);
            const long long pw = (frameWidth * 96 + inch / 2) / inch,
                            ph = (frameHeight * 96 + inch / 2) / inch;
            if (pw > kMaxMetafileSide || ph > kMaxMetafileSide) return fail();
            w = int(std::max(1LL, pw)), h = int(std::max(1LL, ph));
            haveFrame = true;
        }
    } else {
        r.Seek(0);
    }
    // The metafile header.
    const std::size_t headerPos = r.Pos();
    const std::uint16_t type = r.U16LE(), headerWords = r.U16LE();
    r.U16LE();
    if (!r.Ok() || (type != 1 && type != 2) || headerWords < 9) return fail();
    if (!r.Seek(headerPos + std::size_t(headerWords) * 2)) return fail();

    // A converted file is drawn from the enhanced metafile it carries, when that draws.
    if (const std::vector<std::uint8_t> emf = EmbeddedEMF(data, size, r.Pos()); !emf.empty()) {
        ReadResult drawn = RenderEMF(emf.data(), emf.size(), w, h, background);
        if (drawn.Ok()) return drawn;
    }

    // Logical units map onto the frame until the file sets its window.
    if (haveFrame) {
        map.windowOrgX = frameLeft, map.windowOrgY = frameTop;
        map.windowExtX = frameWidth, map.windowExtY = frameHeight;
    }
    map.viewportExtX = haveFrame ? w : 1, map.viewportExtY = haveFrame ? h : 1;
    CMetafileCanvas canvas;
    if (const CodecStatus created = canvas.Create(w, h, background); !created)
        return ReadResult::Failure(created);

    std::vector<MetaObject> objects;
    MetaObject brush{MetaObject::kBrush, true, 0xFFFFFF}, pen{MetaObject::kPen, true, 0};
    std::vector<MetaSavedState> saved;
    std::uint32_t backgroundColor = 0xFFFFFF;
    bool opaqueBackground = true;
    auto applyBrush = [&] {
        canvas.SetFillPattern(brush.hatch, backgroundColor, opaqueBackground);
    };
    MetaObject font{MetaObject::kFont, true, 0};
    std::uint32_t textColor = 0;
    unsigned textAlign = 0;
    CMetaTextPainter text;
    // A length in logical units as pixels, along x or y, keeping its sign.
    auto pixelsX = [&](long long v) { return map.Map(v, 0).x - map.Map(0, 0).x; };
    auto pixelsY = [&](long long v) {
        const long long p = std::llabs(map.Map(0, v).y - map.Map(0, 0).y);
        return v < 0 ? -p : p;
    };
    MetaPoint current;
    bool sawEnd = false;
    while (r.Remaining() >= 6) {
        const std::size_t start = r.Pos();
        const std::uint32_t words = r.U32LE();
        const std::uint16_t function = r.U16LE();
        if (words < 3 || words > (r.Remaining() + 6) / 2) break; // a torn record ends the picture
        const std::size_t end = start + std::size_t(words) * 2;
        CByteReader p(data, end, r.Pos()); // the parameters, bounded by the record
        auto point = [&](std::int16_t x, std::int16_t y) { return map.Map(x, y); };
        switch (function) {
        case kEOF:
            sawEnd = true;
            r.Seek(size);
            continue;
        case kSetWindowOrg: {
            const std::int16_t y = p.S16LE(), x = p.S16LE();
            if (p.Ok()) map.windowOrgX = x, map.windowOrgY = y;
            break;
        }
        case kSetWindowExt: {
            const std::int16_t y = p.S16LE(), x = p.S16LE();
            if (p.Ok() && x && y) {
                map.windowExtX = x, map.windowExtY = y;
                if (!haveFrame)
                    map.viewportExtX = x, map.viewportExtY = y; // plain files: one unit a pixel
            }
            break;
        }
        case kCreateBrush:
        case kCreatePen: {
            MetaObject o;
            o.kind = function == kCreateBrush ? MetaObject::kBrush : MetaObject::kPen;
            const std::uint16_t style = p.U16LE();
            if (function == kCreatePen) p.Skip(4); // width
            o.color = p.U32LE() & 0xFFFFFF;
            o.visible = function == kCreateBrush ? style != 1 : style != 5; // null brush / pen
            if (function == kCreateBrush && style == 2) o.hatch = std::min<int>(p.U16LE(), 5);
            auto slot = std::find_if(objects.begin(), objects.end(), [](const MetaObject& m) {
                return m.kind == MetaObject::kNone;
            });
            if (objects.size() < 65535 || slot != objects.end()) {
                if (slot != objects.end())
                    *slot = o;
                else
                    objects.push_back(o);
            }
            break;
        }
        case kSetViewportOrg:
        case kSetViewportExt:
        case kSetMapMode:
            break;
        case 0x00F7:
        case 0x0142:
        case 0x01F9:
        case 0x06FF:
        case 0x06FE: {
            // Palettes, pattern brushes, regions, fonts, bitmaps: take a slot.
            auto slot = std::find_if(objects.begin(), objects.end(), [](const MetaObject& m) {
                return m.kind == MetaObject::kNone;
            });
            MetaObject o{MetaObject::kOther, false, 0};
            if (slot != objects.end())
                *slot = o;
            else if (objects.size() < 65535)
                objects.push_back(o);
            break;
        }
        case kSelectObject: {
            const std::uint16_t i = p.U16LE();
            if (p.Ok() && i < objects.size()) {
                if (objects[i].kind == MetaObject::kBrush) brush = objects[i], applyBrush();
                if (objects[i].kind == MetaObject::kPen) pen = objects[i];
                if (objects[i].kind == MetaObject::kFont) font = objects[i];
            }
            break;
        }
        case kCreateFontIndirect: {
            MetaObject o{MetaObject::kFont, true, 0};
            o.font.height = p.S16LE();
            p.Skip(6); // width, escapement, orientation
            o.font.weight = p.S16LE();
            o.font.italic = p.U8() != 0;
            p.Skip(7);
            if (!p.Ok()) o.font = MetaFont{}; // a torn record still takes its slot
            const std::size_t nameBytes = std::min<std::size_t>(p.Remaining(), 32);
            o.font.face = AnsiToUtf8(data + p.Pos(), nameBytes);
            AddObject(objects, std::move(o));
            break;
        }
        case kSetTextColor: {
            const std::uint32_t color = p.U32LE() & 0xFFFFFF;
            if (p.Ok()) textColor = color;
            break;
        }
        case kSetTextAlign: {
            const std::uint16_t align = p.U16LE();
            if (p.Ok()) textAlign = align;
            break;
        }
        case kTextOut:
        case kExtTextOut: {
            MetaTextCall call;
            std::int16_t x = 0, y = 0;
            std::size_t length = 0;
            unsigned options = 0;
            MetaPoint boxA, boxB;
            if (function == kTextOut) {
                length = p.U16LE();
                if (!p.Ok() || length > p.Remaining()) break;
                const std::size_t at = p.Pos();
                p.Skip((length + 1) & ~std::size_t(1));
                y = p.S16LE(), x = p.S16LE();
                if (!p.Ok()) break;
                call.utf8 = AnsiToUtf8(data + at, length);
            } else {
                y = p.S16LE(), x = p.S16LE();
                length = p.U16LE();
                options = p.U16LE();
                if (options & 6) {
                    const std::int16_t l = p.S16LE(), t = p.S16LE(), rr = p.S16LE(), b = p.S16LE();
                    boxA = point(l, t), boxB = point(rr, b);
                }
                if (!p.Ok() || length > p.Remaining()) break;
                call.utf8 = AnsiToUtf8(data + p.Pos(), length);
                p.Skip((length + 1) & ~std::size_t(1));
                // Spacing: one advance for every character, when the record has them.
                if (p.Remaining() >= length * 2 && DecodeUtf8(call.utf8).size() == length)
                    for (std::size_t i = 0; i < length; ++i)
                        call.advances.push_back(pixelsX(p.S16LE()));
            }
            call.at = point(x, y);
            call.align = textAlign;
            call.pixelHeight = pixelsY(font.font.height);
            call.color = textColor;
            if (options & 2)
                canvas.FillRectSolid(boxA, boxB, backgroundColor);
            else if (opaqueBackground)
                call.background = &backgroundColor;
            const MetaClip clip = canvas.Clip();
            if (options & 4) canvas.IntersectClip(boxA, boxB);
            text.Draw(canvas, font.font, call, current);
            canvas.SetClip(clip);
            break;
        }
        case kDeleteObject: {
            const std::uint16_t i = p.U16LE();
            if (p.Ok() && i < objects.size()) objects[i] = MetaObject{};
            break;
        }
        case kMoveTo: {
            const std::int16_t y = p.S16LE(), x = p.S16LE();
            if (p.Ok()) current = point(x, y);
            break;
        }
        case kLineTo: {
            const std::int16_t y = p.S16LE(), x = p.S16LE();
            if (!p.Ok()) break;
            const MetaPoint to = point(x, y);
            if (pen.visible) canvas.DrawLine(current, to, pen.color);
            current = to;
            break;
        }
        case kRectangle: {
            const std::int16_t bottom = p.S16LE(), right = p.S16LE(), top = p.S16LE(),
                               left = p.S16LE();
            if (!p.Ok()) break;
            const MetaPoint a = point(left, top), b = point(right, bottom);
            if (brush.visible) canvas.FillRect(a, b, brush.color);
            if (pen.visible) {
                const MetaPoint c{b.x - 1, a.y}, d{a.x, b.y - 1}, e{b.x - 1, b.y - 1};
                canvas.DrawLine(a, c, pen.color), canvas.DrawLine(c, e, pen.color);
                canvas.DrawLine(e, d, pen.color), canvas.DrawLine(d, a, pen.color);
            }
            break;
        }
        case kSetBkColor: {
            const std::uint32_t color = p.U32LE() & 0xFFFFFF;
            if (p.Ok()) backgroundColor = color, applyBrush();
            break;
        }
        case kSetBkMode: {
            const std::uint16_t mode = p.U16LE();
            if (p.Ok()) opaqueBackground = mode != 1, applyBrush();
            break;
        }
        case kIntersectClipRect: {
            const std::int16_t bottom = p.S16LE(), right = p.S16LE(), top = p.S16LE(),
                               left = p.S16LE();
            if (p.Ok()) canvas.IntersectClip(point(left, top), point(right, bottom));
            break;
        }
        case kSaveDC:
            if (saved.size() < 4096) saved.push_back({canvas.Clip(), brush, pen});
            break;
        case kRestoreDC: {
            const std::int16_t which = p.S16LE();
            if (p.Ok()) RestoreState(saved, which, canvas, brush, pen), applyBrush();
            break;
        }
        case kEllipse: {
            const std::int16_t bottom = p.S16LE(), right = p.S16LE(), top = p.S16LE(),
                               left = p.S16LE();
            if (!p.Ok()) break;
            const std::vector<MetaPoint> outline =
                EllipsePoints(point(left, top), point(right, bottom));
            if (brush.visible) canvas.FillPolygons({outline}, brush.color);
            if (pen.visible) canvas.DrawPolyline(outline, pen.color, true);
            break;
        }
        case kArc:
        case kPie:
        case kChord: {
            const std::int16_t yEnd = p.S16LE(), xEnd = p.S16LE(), yStart = p.S16LE(),
                               xStart = p.S16LE(), bottom = p.S16LE(), right = p.S16LE(),
                               top = p.S16LE(), left = p.S16LE();
            if (!p.Ok()) break;
            const MetaArcShape shape = function == kArc   ? MetaArcShape::kArc
                                       : function == kPie ? MetaArcShape::kPie
                                                          : MetaArcShape::kChord;
            DrawArcShape(canvas, shape, point(left, top), point(right, bottom),
                         point(xStart, yStart), point(xEnd, yEnd),
                         brush.visible ? &brush.color : nullptr,
                         pen.visible ? &pen.color : nullptr);
            break;
        }
        case kPolygon:
        case kPolyline:
        case kPolyPolygon: {
            std::vector<std::uint16_t> counts;
            if (function == kPolyPolygon) {
                const std::uint16_t n = p.U16LE();
                for (std::uint16_t i = 0; i < n && p.Ok(); ++i) counts.push_back(p.U16LE());
            } else {
                counts.push_back(p.U16LE());
            }
            if (!p.Ok()) break;
            std::vector<std::vector<MetaPoint>> polys;
            for (std::uint16_t n : counts) {
                if (std::size_t(n) * 4 > p.Remaining()) break;
                std::vector<MetaPoint> poly(n);
                for (auto& q : poly) {
                    const std::int16_t x = p.S16LE(), y = p.S16LE();
                    q = point(x, y);
                }
                polys.push_back(std::move(poly));
            }
            if (function == kPolyline) {
                if (pen.visible && !polys.empty())
                    for (std::size_t i = 1; i < polys[0].size(); ++i)
                        canvas.DrawLine(polys[0][i - 1], polys[0][i], pen.color);
            } else if (brush.visible) {
                canvas.FillPolygons(polys, brush.color);
            }
            break;
        }
        case kDibBitBlt:
        case kDibStretchBlt:
        case kStretchDib: {
            p.U32LE(); // raster operation: pictures are copied
            long long sx = 0, sy = 0, sw = 0, sh = 0, dx, dy, dw, dh;
            if (function == kStretchDib) p.U16LE();
            if (function == kDibBitBlt) {
                sy = p.S16LE(), sx = p.S16LE();
                dh = p.S16LE(), dw = p.S16LE();
                sw = dw, sh = dh;
            } else {
                sh = p.S16LE(), sw = p.S16LE(), sy = p.S16LE(), sx = p.S16LE();
                dh = p.S16LE(), dw = p.S16LE();
            }
            dy = p.S16LE(), dx = p.S16LE();
            if (!p.Ok() || p.Remaining() < 12) break; // a record without a bitmap
            const ReadResult picture = DecodeDIB(data, end, p.Pos(), 0, kErrBadMetafile);
            if (!picture.Ok()) break;
            const int bw = picture.width, bh = picture.height;
            const MetaPoint a = point(std::int16_t(dx), std::int16_t(dy));
            const MetaPoint b = map.Map(dx + dw, dy + dh);
            // The DIB's rows run bottom-up in its own coordinates; decoded rows run top-down.
            canvas.DrawPicture(picture.pixels, bw, bh, sx, bh - sy - sh, sw, sh, a, b.x - a.x,
                               b.y - a.y);
            break;
        }
        default:
            break;
        }
        r.Seek(end);
    }
    ReadResult result;
    result.width = canvas.Width(), result.height = canvas.Height();
    result.pixels = canvas.Take();
    // Without its end record the file was cut: what was drawn stays, with a warning.
    result.endsEarly = !sawEnd;
    return result;
}

CodecStatus WriteWMF(CSink& sink, const std::uint8_t* rgb, int width, int height) {
    if (const CodecStatus args = CheckWriterArgs(rgb, width, height, 32767); !args) return args;
    // The picture as a packed bitmap: a bitmap file without its 14-byte file header.
    CSink bitmap;
    if (const CodecStatus written = WriteBMP(bitmap, rgb, width, height); !written) return written;
    const std::vector<std::uint8_t> dib(bitmap.Bytes().begin() + 14, bitmap.Bytes().end());
    std::vector<std::uint8_t> out;
    // Placeable header: the frame in pixels at 96 units an inch.
    PutLE32(out, kPlaceableKey);
    PutLE16(out, 0);
    PutLE16(out, 0), PutLE16(out, 0), PutLE16(out, unsigned(width)), PutLE16(out, unsigned(height));
    PutLE16(out, 96);
    PutLE32(out, 0);
    unsigned checksum = 0;
    for (int i = 0; i < 10; ++i) checksum ^= unsigned(out[2 * i] | out[2 * i + 1] << 8);
    PutLE16(out, checksum);
    const std::uint32_t dibWords = std::uint32_t((dib.size() + 1) / 2);
    const std::uint32_t stretchWords = 3 + 2 + 1 + 8 + dibWords;
    const std::uint32_t totalWords = 9 + 5 + 5 + stretchWords + 3;
    PutLE16(out, 1), PutLE16(out, 9), PutLE16(out, 0x0300);
    PutLE32(out, totalWords);
    PutLE16(out, 0);
    PutLE32(out, stretchWords);
    PutLE16(out, 0);
    auto record = [&](std::uint32_t words, unsigned function) {
        PutLE32(out, words), PutLE16(out, function);
    };
    record(5, kSetWindowOrg), PutLE16(out, 0), PutLE16(out, 0);
    record(5, kSetWindowExt), PutLE16(out, unsigned(height)), PutLE16(out, unsigned(width));
    record(stretchWords, kStretchDib);
    PutLE32(out, 0x00CC0020); // copy
    PutLE16(out, 0);          // colours are RGB values
    PutLE16(out, unsigned(height)), PutLE16(out, unsigned(width)), PutLE16(out, 0), PutLE16(out, 0);
    PutLE16(out, unsigned(height)), PutLE16(out, unsigned(width)), PutLE16(out, 0), PutLE16(out, 0);
    bool ok = sink.Write(out.data(), out.size()) && sink.Write(dib.data(), dib.size());
    out.clear();
    if (dib.size() & 1) out.push_back(0);
    record(3, kEOF);
    ok = ok && sink.Write(out.data(), out.size());
    return ok ? kErrNone : kErrFileWrite;
}

} // namespace quiltara
