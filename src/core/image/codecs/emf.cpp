// Enhanced metafiles: reading through our own rasteriser (bitmaps, filled
// rectangles, polygons, ellipses, arcs, chords and pies, lines and Bezier curves,
// text, window and viewport mapping); writing an enhanced
// metafile that holds the picture as one bitmap record.
#include "core/image/codecs/MetafileCanvas.h"

#include <algorithm>
#include <map>

namespace quiltara {

namespace {

enum : std::uint32_t {
    kHeader = 1,
    kPolygon = 3,
    kPolyline = 4,
    kPolyPolygon = 8,
    kSetWindowExt = 9,
    kSetWindowOrg = 10,
    kSetViewportExt = 11,
    kSetViewportOrg = 12,
    kEOF = 14,
    kSetMapMode = 17,
    kMoveTo = 27,
    kSelectObject = 37,
    kCreatePen = 38,
    kCreateBrush = 39,
    kDeleteObject = 40,
    kRectangle = 43,
    kEllipse = 42,
    kIntersectClipRect = 30,
    kSetBkMode = 18,
    kSetBkColor = 25,
    kSaveDC = 33,
    kRestoreDC = 34,
    kArc = 45,
    kChord = 46,
    kPie = 47,
    kPolyBezier = 2,
    kPolyBezierTo = 5,
    kPolyBezier16 = 85,
    kPolyBezierTo16 = 88,
    kLineTo = 54,
    kBitBlt = 76,
    kStretchBlt = 77,
    kStretchDIBits = 81,
    kPolygon16 = 86,
    kPolyline16 = 87,
    kPolyPolygon16 = 91,
    kSetTextAlign = 22,
    kSetTextColor = 24,
    kExtCreateFontIndirectW = 82,
    kExtTextOutA = 83,
    kExtTextOutW = 84,
};

MetaObject StockObject(std::uint32_t index) {
    switch (index & 0x7FFFFFFF) {
    case 0:
        return {MetaObject::kBrush, true, 0xFFFFFF};
    case 1:
        return {MetaObject::kBrush, true, 0xC0C0C0};
    case 2:
        return {MetaObject::kBrush, true, 0x808080};
    case 3:
        return {MetaObject::kBrush, true, 0x404040};
    case 4:
        return {MetaObject::kBrush, true, 0x000000};
    case 5:
        return {MetaObject::kBrush, false, 0};
    case 6:
        return {MetaObject::kPen, true, 0xFFFFFF};
    case 7:
        return {MetaObject::kPen, true, 0x000000};
    case 8:
        return {MetaObject::kPen, false, 0};
    case 10:
    case 11:
    case 12:
    case 13:
    case 14:
    case 16:
    case 17:
        return {MetaObject::kFont, true, 0}; // the stock fonts: the default face
    default:
        return {};
    }
}

} // namespace

ReadResult RenderEMF(const std::uint8_t* data, std::size_t size, int defaultWidth,
                     int defaultHeight, std::uint32_t background) {
    auto fail = [] { return ReadResult::Failure(kErrBadMetafile); };
    CByteReader h(data, size, 8);
    const long long left = h.S32LE(), top = h.S32LE(), right = h.S32LE(), bottom = h.S32LE();
    const std::uint32_t headerSize = CByteReader(data, size, 4).U32LE();
    if (!h.Ok() || headerSize < 88 || headerSize > size) return fail();
    int w = defaultWidth, hgt = defaultHeight;
    MetaMapping map;
    // The bounds are inclusive pixels; an empty rectangle means the file gives no size.
    if (right >= left && bottom >= top && (right > left || bottom > top)) {
        const long long bw = right - left + 1, bh = bottom - top + 1;
        if (bw > kMaxMetafileSide || bh > kMaxMetafileSide) return fail();
        w = int(bw), hgt = int(bh);
        map.frameX = left, map.frameY = top;
    }
    CMetafileCanvas canvas;
    if (const CodecStatus created = canvas.Create(w, hgt, background); !created)
        return ReadResult::Failure(created);

    bool scaled = false; // anisotropic and isotropic map modes use the extents
    std::map<std::uint32_t, MetaObject> objects;
    MetaObject brush = StockObject(0), pen = StockObject(7);
    std::vector<MetaSavedState> saved;
    std::uint32_t backgroundColor = 0xFFFFFF;
    bool opaqueBackground = true;
    auto applyBrush = [&] {
        canvas.SetFillPattern(brush.hatch, backgroundColor, opaqueBackground);
    };
    MetaPoint current;
    CByteReader r(data, size);
    auto mapPoint = [&](long long x, long long y) {
        if (scaled) return map.Map(x, y);
        return MetaPoint{x - map.frameX, y - map.frameY};
    };
    MetaObject font{MetaObject::kFont, true, 0};
    std::uint32_t textColor = 0;
    unsigned textAlign = 0;
    CMetaTextPainter text;
    // A length in logical units as pixels, along x or y, keeping its sign.
    auto pixelsX = [&](long long v) { return mapPoint(v, 0).x - mapPoint(0, 0).x; };
    auto pixelsY = [&](long long v) {
        const long long p = std::llabs(mapPoint(0, v).y - mapPoint(0, 0).y);
        return v < 0 ? -p : p;
    };
    bool sawEnd = false;
    while (r.Remaining() >= 8) {
        const std::size_t start = r.Pos();
        const std::uint32_t type = r.U32LE(), recordSize = r.U32LE();
        if (recordSize < 8 || recordSize > r.Remaining() + 8)
            break; // a torn record ends the picture
        const std::size_t end = start + recordSize;
        CByteReader p(data, end, r.Pos());
        switch (type) {
        case kEOF:
            sawEnd = true;
            r.Seek(size);
            continue;
        case kSetMapMode: {
            const std::uint32_t mode = p.U32LE();
            scaled = mode == 7 || mode == 8;
            break;
        }
        case kSetWindowExt:
        case kSetViewportExt:
        case kSetWindowOrg:
        case kSetViewportOrg: {
            const long long x = p.S32LE(), y = p.S32LE();
            if (!p.Ok()) break;
            if (type == kSetWindowExt && x && y) map.windowExtX = x, map.windowExtY = y;
            if (type == kSetViewportExt && x && y) map.viewportExtX = x, map.viewportExtY = y;
            if (type == kSetWindowOrg) map.windowOrgX = x, map.windowOrgY = y;
            if (type == kSetViewportOrg) map.viewportOrgX = x, map.viewportOrgY = y;
            break;
        }
        case kCreateBrush:
        case kCreatePen: {
            const std::uint32_t index = p.U32LE(), style = p.U32LE();
            if (type == kCreatePen) p.Skip(8);
            const std::uint32_t color = p.U32LE() & 0xFFFFFF;
            const std::uint32_t hatch = type == kCreateBrush ? p.U32LE() : 0;
            if (!p.Ok() || objects.size() > 65535) break;
            objects[index] = {type == kCreateBrush ? MetaObject::kBrush : MetaObject::kPen,
                              type == kCreateBrush ? style != 1 : style != 5, color,
                              type == kCreateBrush && style == 2 ? int(std::min(hatch, 5u)) : -1};
            break;
        }
        case kSelectObject: {
            const std::uint32_t index = p.U32LE();
            if (!p.Ok()) break;
            MetaObject o = index & 0x80000000 ? StockObject(index) : MetaObject{};
            if (!(index & 0x80000000)) {
                auto it = objects.find(index);
                if (it != objects.end()) o = it->second;
            }
            if (o.kind == MetaObject::kBrush) brush = o, applyBrush();
            if (o.kind == MetaObject::kPen) pen = o;
            if (o.kind == MetaObject::kFont) font = o;
            break;
        }
        case kExtCreateFontIndirectW: {
            const std::uint32_t index = p.U32LE();
            MetaObject o{MetaObject::kFont, true, 0};
            o.font.height = p.S32LE();
            p.Skip(12); // width, escapement, orientation
            o.font.weight = int(std::clamp<long long>(p.S32LE(), 0, 1000));
            o.font.italic = p.U8() != 0;
            p.Skip(7);
            if (!p.Ok() || objects.size() > 65535) break;
            o.font.face = Utf16ToUtf8(data + p.Pos(), std::min<std::size_t>(p.Remaining() / 2, 32));
            objects[index] = std::move(o);
            break;
        }
        case kSetTextColor: {
            const std::uint32_t color = p.U32LE() & 0xFFFFFF;
            if (p.Ok()) textColor = color;
            break;
        }
        case kSetTextAlign: {
            const std::uint32_t align = p.U32LE();
            if (p.Ok()) textAlign = align;
            break;
        }
        case kExtTextOutA:
        case kExtTextOutW: {
            p.Skip(16 + 12); // bounds, graphics mode, scales
            const long long x = p.S32LE(), y = p.S32LE();
            const std::uint32_t chars = p.U32LE(), offString = p.U32LE(), options = p.U32LE();
            const long long l = p.S32LE(), t = p.S32LE(), rr = p.S32LE(), b = p.S32LE();
            const std::uint32_t offDx = p.U32LE();
            const std::uint64_t unit = type == kExtTextOutW ? 2 : 1;
            if (!p.Ok() || offString > recordSize || chars * unit > recordSize - offString) break;
            MetaTextCall call;
            call.utf8 = type == kExtTextOutW ? Utf16ToUtf8(data + start + offString, chars)
                                             : AnsiToUtf8(data + start + offString, chars);
            // Spacing: one advance a character (two numbers each with ETO_PDY).
            const std::uint64_t dxStep = options & 0x2000 ? 8 : 4;
            if (offDx && offDx <= recordSize && chars * dxStep <= recordSize - offDx &&
                DecodeUtf8(call.utf8).size() == chars) {
                CByteReader dx(data, end, start + offDx);
                for (std::uint32_t i = 0; i < chars; ++i) {
                    call.advances.push_back(pixelsX(dx.S32LE()));
                    if (dxStep == 8) dx.S32LE();
                }
            }
            call.at = mapPoint(x, y);
            call.align = textAlign;
            call.pixelHeight = pixelsY(font.font.height);
            call.color = textColor;
            const MetaPoint boxA = mapPoint(l, t), boxB = mapPoint(rr, b);
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
        case kDeleteObject:
            objects.erase(p.U32LE());
            break;
        case kMoveTo: {
            const long long x = p.S32LE(), y = p.S32LE();
            if (p.Ok()) current = mapPoint(x, y);
            break;
        }
        case kLineTo: {
            const long long x = p.S32LE(), y = p.S32LE();
            if (!p.Ok()) break;
            const MetaPoint to = mapPoint(x, y);
            if (pen.visible) canvas.DrawLine(current, to, pen.color);
            current = to;
            break;
        }
        case kRectangle: {
            const long long l = p.S32LE(), t = p.S32LE(), rr = p.S32LE(), b = p.S32LE();
            if (!p.Ok()) break;
            const MetaPoint a = mapPoint(l, t), c = mapPoint(rr, b);
            if (brush.visible) canvas.FillRect(a, c, brush.color);
            if (pen.visible) {
                const MetaPoint q1{c.x - 1, a.y}, q2{c.x - 1, c.y - 1}, q3{a.x, c.y - 1};
                canvas.DrawLine(a, q1, pen.color), canvas.DrawLine(q1, q2, pen.color);
                canvas.DrawLine(q2, q3, pen.color), canvas.DrawLine(q3, a, pen.color);
            }
            break;
        }
        case kSetBkColor: {
            const std::uint32_t color = p.U32LE() & 0xFFFFFF;
            if (p.Ok()) backgroundColor = color, applyBrush();
            break;
        }
        case kSetBkMode: {
            const std::uint32_t mode = p.U32LE();
            if (p.Ok()) opaqueBackground = mode != 1, applyBrush();
            break;
        }
        case kIntersectClipRect: {
            const long long l = p.S32LE(), t = p.S32LE(), rr = p.S32LE(), b = p.S32LE();
            if (p.Ok()) canvas.IntersectClip(mapPoint(l, t), mapPoint(rr, b));
            break;
        }
        case kSaveDC:
            if (saved.size() < 4096) saved.push_back({canvas.Clip(), brush, pen});
            break;
        case kRestoreDC: {
            const std::int32_t which = p.S32LE();
            if (p.Ok()) RestoreState(saved, which, canvas, brush, pen), applyBrush();
            break;
        }
        case kEllipse:
        case kArc:
        case kChord:
        case kPie: {
            const long long l = p.S32LE(), t = p.S32LE(), rr = p.S32LE(), b = p.S32LE();
            const bool boxRead = p.Ok(); // an ellipse has only its box
            const long long xs = p.S32LE(), ys = p.S32LE(), xe = p.S32LE(), ye = p.S32LE();
            if (!boxRead || (type != kEllipse && !p.Ok())) break;
            const MetaPoint a = mapPoint(l, t), c = mapPoint(rr, b);
            if (type == kEllipse) {
                const std::vector<MetaPoint> outline = EllipsePoints(a, c);
                if (brush.visible) canvas.FillPolygons({outline}, brush.color);
                if (pen.visible) canvas.DrawPolyline(outline, pen.color, true);
                break;
            }
            const MetaArcShape shape = type == kArc   ? MetaArcShape::kArc
                                       : type == kPie ? MetaArcShape::kPie
                                                      : MetaArcShape::kChord;
            DrawArcShape(canvas, shape, a, c, mapPoint(xs, ys), mapPoint(xe, ye),
                         brush.visible ? &brush.color : nullptr,
                         pen.visible ? &pen.color : nullptr);
            break;
        }
        case kPolyBezier:
        case kPolyBezierTo:
        case kPolyBezier16:
        case kPolyBezierTo16: {
            const bool small = type == kPolyBezier16 || type == kPolyBezierTo16;
            const bool to = type == kPolyBezierTo || type == kPolyBezierTo16;
            p.Skip(16); // bounds
            const std::uint32_t n = p.U32LE();
            if (!p.Ok() || std::uint64_t(n) * (small ? 4 : 8) > p.Remaining()) break;
            std::vector<MetaPoint> control;
            if (to) control.push_back(current);
            for (std::uint32_t i = 0; i < n; ++i) {
                const long long x = small ? p.S16LE() : p.S32LE();
                const long long y = small ? p.S16LE() : p.S32LE();
                control.push_back(mapPoint(x, y));
            }
            const std::vector<MetaPoint> curve = BezierPoints(control);
            if (pen.visible) canvas.DrawPolyline(curve, pen.color);
            if (to && !control.empty()) current = control.back();
            break;
        }
        case kPolygon:
        case kPolyline:
        case kPolyPolygon:
        case kPolygon16:
        case kPolyline16:
        case kPolyPolygon16: {
            const bool small = type >= kPolygon16;
            const bool multi = type == kPolyPolygon || type == kPolyPolygon16;
            p.Skip(16); // bounds
            std::vector<std::uint32_t> counts;
            if (multi) {
                const std::uint32_t n = p.U32LE();
                p.U32LE(); // total points
                if (std::uint64_t(n) * 4 > p.Remaining()) break;
                for (std::uint32_t i = 0; i < n; ++i) counts.push_back(p.U32LE());
            } else {
                counts.push_back(p.U32LE());
            }
            if (!p.Ok()) break;
            std::vector<std::vector<MetaPoint>> polys;
            for (std::uint32_t n : counts) {
                if (std::uint64_t(n) * (small ? 4 : 8) > p.Remaining()) break;
                std::vector<MetaPoint> poly(n);
                for (auto& q : poly) {
                    const long long x = small ? p.S16LE() : p.S32LE();
                    const long long y = small ? p.S16LE() : p.S32LE();
                    q = mapPoint(x, y);
                }
                polys.push_back(std::move(poly));
            }
            if (type == kPolyline || type == kPolyline16) {
                if (pen.visible && !polys.empty())
                    for (std::size_t i = 1; i < polys[0].size(); ++i)
                        canvas.DrawLine(polys[0][i - 1], polys[0][i], pen.color);
            } else if (brush.visible) {
                canvas.FillPolygons(polys, brush.color);
            }
            break;
        }
        case kStretchDIBits:
        case kBitBlt:
        case kStretchBlt: {
            p.Skip(16); // bounds
            long long dx, dy, dw, dh, sx, sy, sw, sh;
            std::uint32_t offBmi, cbBmi, offBits, cbBits;
            if (type == kStretchDIBits) {
                dx = p.S32LE(), dy = p.S32LE(), sx = p.S32LE(), sy = p.S32LE();
                sw = p.S32LE(), sh = p.S32LE();
                offBmi = p.U32LE(), cbBmi = p.U32LE(), offBits = p.U32LE(), cbBits = p.U32LE();
                p.U32LE(), p.U32LE(); // colour use, raster operation
                dw = p.S32LE(), dh = p.S32LE();
            } else {
                dx = p.S32LE(), dy = p.S32LE(), dw = p.S32LE(), dh = p.S32LE();
                p.U32LE();
                sx = p.S32LE(), sy = p.S32LE();
                p.Skip(24 + 4 + 4); // transform, background colour, colour use
                offBmi = p.U32LE(), cbBmi = p.U32LE(), offBits = p.U32LE(), cbBits = p.U32LE();
                sw = dw, sh = dh;
                if (type == kStretchBlt) sw = p.S32LE(), sh = p.S32LE();
            }
            if (!p.Ok() || !cbBmi || !cbBits) break; // a pattern fill without a bitmap
            if (offBmi > recordSize || cbBmi > recordSize - offBmi || offBits > recordSize ||
                cbBits > recordSize - offBits)
                break;
            const ReadResult picture = DecodeDIB(data, start + offBits + cbBits, start + offBmi,
                                                 start + offBits, kErrBadMetafile);
            if (!picture.Ok()) break;
            const int bw = picture.width, bh = picture.height;
            const MetaPoint a = mapPoint(dx, dy), b = mapPoint(dx + dw, dy + dh);
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

CodecStatus WriteEMF(CSink& sink, const std::uint8_t* rgb, int width, int height) {
    if (const CodecStatus args = CheckWriterArgs(rgb, width, height, kMaxCodecDimension); !args)
        return args;
    // The picture as a packed bitmap: a bitmap file without its 14-byte file header.
    CSink bitmap;
    if (const CodecStatus written = WriteBMP(bitmap, rgb, width, height); !written) return written;
    const std::vector<std::uint8_t> dib(bitmap.Bytes().begin() + 14, bitmap.Bytes().end());
    const std::uint64_t bitsSize = dib.size() - 40;
    const std::uint64_t stretchSize = 80 + dib.size();
    const std::uint64_t total = 88 + stretchSize + 20;
    if (total > 0xFFFFFFFFu) return kErrBadParam;
    std::vector<std::uint8_t> out;
    // Header: bounds in pixels, frame in hundredths of a millimetre at 96 dots an inch.
    PutLE32(out, kHeader), PutLE32(out, 88);
    PutLE32(out, 0), PutLE32(out, 0), PutLE32(out, std::uint32_t(width - 1)),
        PutLE32(out, std::uint32_t(height - 1));
    PutLE32(out, 0), PutLE32(out, 0);
    PutLE32(out, std::uint32_t(std::uint64_t(width) * 2540 / 96 - 1));
    PutLE32(out, std::uint32_t(std::uint64_t(height) * 2540 / 96 - 1));
    PutLE32(out, 0x464D4520); // " EMF"
    PutLE32(out, 0x10000);
    PutLE32(out, std::uint32_t(total));
    PutLE32(out, 3); // records
    PutLE16(out, 1), PutLE16(out, 0);
    PutLE32(out, 0), PutLE32(out, 0), PutLE32(out, 0);
    PutLE32(out, std::uint32_t(width)), PutLE32(out, std::uint32_t(height));
    PutLE32(out, std::uint32_t(std::max<std::uint64_t>(1, std::uint64_t(width) * 254 / 960)));
    PutLE32(out, std::uint32_t(std::max<std::uint64_t>(1, std::uint64_t(height) * 254 / 960)));
    // The picture.
    PutLE32(out, kStretchDIBits), PutLE32(out, std::uint32_t(stretchSize));
    PutLE32(out, 0), PutLE32(out, 0), PutLE32(out, std::uint32_t(width - 1)),
        PutLE32(out, std::uint32_t(height - 1));
    PutLE32(out, 0), PutLE32(out, 0), PutLE32(out, 0), PutLE32(out, 0);
    PutLE32(out, std::uint32_t(width)), PutLE32(out, std::uint32_t(height));
    PutLE32(out, 80), PutLE32(out, 40), PutLE32(out, 120), PutLE32(out, std::uint32_t(bitsSize));
    PutLE32(out, 0), PutLE32(out, 0x00CC0020);
    PutLE32(out, std::uint32_t(width)), PutLE32(out, std::uint32_t(height));
    bool ok = sink.Write(out.data(), out.size()) && sink.Write(dib.data(), dib.size());
    out.clear();
    PutLE32(out, kEOF), PutLE32(out, 20), PutLE32(out, 0), PutLE32(out, 16), PutLE32(out, 20);
    ok = ok && sink.Write(out.data(), out.size());
    return ok ? kErrNone : kErrFileWrite;
}

} // namespace quiltara
