#include "core/exif/ExifRecord.h"
#include "core/exif/ExifText.h"
#include "core/exif/JpegExifSegment.h"
#include "core/image/codecs/Codecs.h"
#include "support/ExifBlockWriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <sstream>

using namespace quiltara;
using W = quiltara::test::ExifBlockWriter;

namespace {

std::string ValueOf(const CExifRecord& r, std::uint16_t tag) {
    const CExifEntry* e = r.FindEntry(tag);
    if (!e) return "<not a report tag>";
    return e->present ? e->value : "<absent>";
}

// A photograph's block as a camera writes it: IFD0 with the thumbnail directory
// chained after it, the Exif directory and an interoperability directory.
std::vector<std::uint8_t> CameraBlock(bool motorola) {
    W w(motorola);
    w.AddAscii(W::Ifd0, 271, "Canon");
    w.AddAscii(W::Ifd0, 272, "Canon PowerShot S40");
    w.AddShorts(W::Ifd0, 274, {1});
    w.AddRationals(W::Ifd0, 282, {{180, 1}});
    w.AddRationals(W::Ifd0, 283, {{180, 1}});
    w.AddShorts(W::Ifd0, 296, {2});
    w.AddAscii(W::Ifd0, 306, "2003:12:14 12:01:44");
    w.AddShorts(W::Ifd0, 531, {1});
    w.AddPointer(W::Ifd0, 34665, W::Exif);
    w.AddShorts(W::Ifd1, 259, {6});
    w.AddLong(W::Ifd1, 513, 2036);
    w.AddLong(W::Ifd1, 514, 5448);
    w.AddRationals(W::Exif, 33434, {{1, 125}});
    w.AddRationals(W::Exif, 33437, {{56, 10}});
    w.AddShorts(W::Exif, 34855, {100});
    w.AddBytes(W::Exif, 36864, W::Undefined, {'0', '2', '2', '0'});
    w.AddAscii(W::Exif, 36867, "2003:12:14 12:01:44");
    w.AddBytes(W::Exif, 37121, W::Undefined, {1, 2, 3, 0});
    w.AddRationals(W::Exif, 37122, {{5, 1}});
    w.AddRationals(W::Exif, 37377, {{-2, 3}}, W::SRational);
    w.AddRationals(W::Exif, 37380, {{-2, 3}}, W::SRational);
    w.AddShorts(W::Exif, 37383, {5});
    w.AddShorts(W::Exif, 37384, {10});
    w.AddShorts(W::Exif, 37385, {1});
    w.AddRationals(W::Exif, 37386, {{173, 32}});
    w.AddBytes(W::Exif, 37500, W::Undefined, {0x0c, 0x00, 0xab, 0x10, 0x05});
    std::vector<std::uint8_t> comment = {'A', 'S', 'C', 'I', 'I', 0, 0, 0, 'h', 'i'};
    w.AddBytes(W::Exif, 37510, W::Undefined, comment);
    w.AddShorts(W::Exif, 40961, {1});
    w.AddLong(W::Exif, 40962, 2272);
    w.AddShorts(W::Exif, 40963, {1704});
    w.AddPointer(W::Exif, 40965, W::Interop);
    w.AddBytes(W::Exif, 41728, W::Undefined, {3});
    w.AddShorts(W::Exif, 41488, {2});
    w.AddShorts(W::Exif, 41495, {2});
    w.AddShorts(W::Exif, 37396, {1136, 852, 200});
    w.AddAscii(W::Interop, 1, "R98");
    w.AddBytes(W::Interop, 2, W::Undefined, {'0', '1', '0', '0'});
    return w.Segment();
}

CExifRecord DecodeOrFail(const std::vector<std::uint8_t>& segment) {
    CExifRecord r;
    EXPECT_TRUE(r.Decode(segment.data(), segment.size()));
    return r;
}

} // namespace

TEST(ExifRecord, MotorolaAndIntelBlocksGiveTheSameReport) {
    CExifRecord intel, motorola;
    const auto a = CameraBlock(false), b = CameraBlock(true);
    ASSERT_TRUE(intel.Decode(a.data(), a.size()));
    ASSERT_TRUE(motorola.Decode(b.data(), b.size()));
    EXPECT_TRUE(intel.IsIntel());
    EXPECT_FALSE(motorola.IsIntel());
    EXPECT_EQ(intel.Report(), motorola.Report());
    // ... and the report is a real one, not two empty ones.
    EXPECT_EQ(ValueOf(motorola, 272), "Canon PowerShot S40");
    EXPECT_EQ(ValueOf(motorola, 34855), "100");
    EXPECT_EQ(ValueOf(motorola, 41728), "3");
    EXPECT_EQ(ValueOf(motorola, 40962), "2272");
}

TEST(ExifRecord, CameraSettingsRenderAsTheReportShowsThem) {
    const CExifRecord r = DecodeOrFail(CameraBlock(false));
    EXPECT_EQ(ValueOf(r, 271), "Canon");
    EXPECT_EQ(ValueOf(r, 306), "2003:12:14 12:01:44");
    EXPECT_EQ(ValueOf(r, 33434), "1/125");
    EXPECT_EQ(ValueOf(r, 33437), "5.60");
    EXPECT_EQ(ValueOf(r, 37380), "-2/3 ");
    EXPECT_EQ(ValueOf(r, 37377), "-2/3");
    EXPECT_EQ(ValueOf(r, 37386), "5.41");
    EXPECT_EQ(ValueOf(r, 37122), "5/1 ");
    EXPECT_EQ(ValueOf(r, 37383), "multi-segment");
    EXPECT_EQ(ValueOf(r, 37384), "flash");
    EXPECT_EQ(ValueOf(r, 37385), "Yes");
    EXPECT_EQ(ValueOf(r, 274), "upper left");
    EXPECT_EQ(ValueOf(r, 296), "inch");
    EXPECT_EQ(ValueOf(r, 531), "center of pixel array");
    EXPECT_EQ(ValueOf(r, 36864), "30323230");
    EXPECT_EQ(ValueOf(r, 37121), "1230");
    EXPECT_EQ(ValueOf(r, 37500), "0c00ab1005");
    EXPECT_EQ(ValueOf(r, 37510), "ASCII"); // the text ends at the first zero byte
    EXPECT_EQ(ValueOf(r, 40961), "1");
    EXPECT_EQ(ValueOf(r, 41488), "inch");
    EXPECT_EQ(ValueOf(r, 41495), "one chip color area sensor");
    EXPECT_EQ(ValueOf(r, 37396), "1136=column number, 852=row number, 200=diameter of circle");
    EXPECT_EQ(ValueOf(r, 1), "R98");
    EXPECT_EQ(ValueOf(r, 2), "[48.49.48.48]");
    EXPECT_EQ(ValueOf(r, 514), "5448");
    // The Exif offset in hexadecimal, padded to four characters with spaces.
    const std::string exifOffset = ValueOf(r, 34665);
    ASSERT_EQ(exifOffset.size(), 4u);
    EXPECT_EQ(exifOffset[0], ' ');
    // The interoperability offset as its four value bytes.
    EXPECT_EQ(ValueOf(r, 40965).front(), '[');
    EXPECT_EQ(ValueOf(r, 315), "<absent>");
}

TEST(ExifRecord, SummaryTakesTheCameraSettings) {
    const CExifRecord r = DecodeOrFail(CameraBlock(true));
    const CCameraSummary& s = r.Summary();
    EXPECT_EQ(s.make, "Canon");
    EXPECT_EQ(s.model, "Canon PowerShot S40");
    EXPECT_EQ(s.dateTime, "2003:12:14 12:01:44");
    EXPECT_DOUBLE_EQ(s.exposureBias, -2.0 / 3.0);
    EXPECT_DOUBLE_EQ(s.exposureTime, 1.0 / 125.0);
    EXPECT_DOUBLE_EQ(s.fNumber, 5.6);
    EXPECT_DOUBLE_EQ(s.focalLength, 173.0 / 32.0);
    EXPECT_EQ(s.meteringMode, "multi-segment");
    EXPECT_EQ(s.exposureProgram, "");
    EXPECT_EQ(s.lightSource, 10);
    EXPECT_EQ(s.flash, 1);
    EXPECT_EQ(s.isoSpeed, 100);

    // A zero denominator leaves the summary and the text alone.
    W w(false);
    w.AddPointer(W::Ifd0, 34665, W::Exif);
    w.AddRationals(W::Exif, 33434, {{1, 0}});
    w.AddRationals(W::Exif, 37380, {{1, 0}});
    const CExifRecord z = DecodeOrFail(w.Segment());
    EXPECT_EQ(ValueOf(z, 33434), "");
    EXPECT_EQ(z.Summary().exposureTime, 0);
    EXPECT_EQ(z.Summary().exposureBias, 0);
    EXPECT_EQ(z.Summary().flash, -1);
    EXPECT_EQ(z.Summary().lightSource, -1);
}

TEST(ExifRecord, ThumbnailDirectoryAppendsListsAndOverridesSingleValues) {
    W w(true);
    w.AddRationals(W::Ifd0, 282, {{72, 1}});
    w.AddShorts(W::Ifd0, 259, {1});
    w.AddRationals(W::Ifd1, 282, {{72, 1}});
    w.AddShorts(W::Ifd1, 259, {6});
    const CExifRecord r = DecodeOrFail(w.Segment());
    EXPECT_EQ(ValueOf(r, 282), "72/1 72/1 ");
    EXPECT_EQ(ValueOf(r, 259), "TIFF/JPEG compression");

    W v(false);
    v.AddShorts(W::Ifd0, 259, {7});
    v.AddShorts(W::Ifd0, 262, {5});
    v.AddShorts(W::Ifd0, 277, {4});
    const CExifRecord s = DecodeOrFail(v.Segment());
    EXPECT_EQ(ValueOf(s, 259), "7=Vendor Unique Number");
    EXPECT_EQ(ValueOf(s, 262), "5=Vendor Unique Number");
    EXPECT_EQ(ValueOf(s, 277), "4=Vendor Unique Number");
}

TEST(ExifRecord, SubjectLocationWithTwoThreeAndFourValues) {
    for (bool motorola : {false, true}) {
        W w(motorola);
        w.AddPointer(W::Ifd0, 34665, W::Exif);
        w.AddShorts(W::Exif, 37396, {10, 20});
        w.AddShorts(W::Exif, 41492, {1, 2, 3, 4});
        const CExifRecord r = DecodeOrFail(w.Segment());
        EXPECT_EQ(ValueOf(r, 37396), "10=column number, 20=row number");
        EXPECT_EQ(ValueOf(r, 41492), "1=column number, 2=row number, 3=width, 4=heigth");
        W t(motorola);
        t.AddShorts(W::Ifd0, 41492, {7, 8, 9});
        EXPECT_EQ(ValueOf(DecodeOrFail(t.Segment()), 41492),
                  "7=column number, 8=row number, 9=diameter of circle");
    }
}

TEST(ExifRecord, RowsThatReadSeeBelow) {
    struct Case {
        std::uint16_t tag;
        int value;
        const char* text;
    };
    const Case cases[] = {
        {254, 0, "indicates main image\""},
        {254, 1, "indicates thumbnail\""},
        {254, 2, "2"},
        {296, 5, "?????????????????????????????\""},
        {34857, 0, "0=non-interlaced (progressive scan)"},
        {34857, 1, "1=vertical field 1, horizontal field 1 (video field 1, \"odd\" lines)"},
        {34857, 2, "2=vertical field 2, horizontal field 1 (video field 2, \"even\" lines)"},
        {34857, 128, "128=vertical field 1, horizontal field 2"},
        {34857, 5, "5=vertical field 3-127, horizontal field 1"},
        {34857, 200, "200=vertical field 2-127, horizontal field 2"},
        {34857, 300, "300=vertical field 1-127, horizontal field 3-127"},
        {34850, 6, "program action(high-speed program)"},
        {34850, 9, "9"},
        {40961, 65535, "65535"},
        {284, 2, "planer"},
        {41488, 3, "centimeter"},
        {531, 2, "the datum point"},
        {278, 16,
         "16, Note that the number of StripsPerImage equals floor ((ImageLength + RowsPerStrip - "
         "1) / RowsPerStrip)"},
    };
    for (const Case& c : cases) {
        W w(true);
        w.AddShorts(W::Ifd0, c.tag, {c.value});
        EXPECT_EQ(ValueOf(DecodeOrFail(w.Segment()), c.tag), c.text) << c.tag << " " << c.value;
    }

    W tz(true);
    tz.AddShorts(W::Ifd0, 34858, {130, 125}, W::SShort);
    EXPECT_EQ(ValueOf(DecodeOrFail(tz.Segment()), 34858),
              "2=Time Zone Offset (in hours) of DateTimeOriginal tag-value relative to Greenwich "
              "Mean Time, -3=Time Zone Offset (in hours) of DateTime tag-value relative to "
              "Greenwich Mean Time");

    W ycc(false);
    ycc.AddShorts(W::Ifd0, 530, {2, 1});
    EXPECT_EQ(ValueOf(DecodeOrFail(ycc.Segment()), 530),
              "ImageWidth of this chroma image is half the ImageWidth of the associated luma "
              "image, ImageLength (height) of this chroma image is equal to the ImageLength of the "
              "associated luma image");

    W sec(false);
    sec.AddAscii(W::Ifd0, 37394, "T");
    sec.AddShorts(W::Ifd0, 258, {8, 8, 8});
    sec.AddShorts(W::Ifd0, 33421, {2, 3});
    sec.AddLong(W::Ifd0, 34853, 0x1234);
    const CExifRecord s = DecodeOrFail(sec.Segment());
    EXPECT_EQ(ValueOf(s, 37394), "Top Secret");
    EXPECT_EQ(ValueOf(s, 258), "8,8,8");
    EXPECT_EQ(ValueOf(s, 33421), "CFARepeatRows=2, CFARepeatCols=3");
    EXPECT_EQ(
        ValueOf(s, 34853),
        "1234=place to find more GPS info, more code needs to be written to decode this data");
}

TEST(ExifRecord, StripOffsetsFollowThePlanarConfigurationSeenSoFar) {
    W w(false);
    w.AddShorts(W::Ifd0, 284, {2});
    w.AddShorts(W::Ifd1, 273, {4096, 8192, 12288});
    const CExifRecord r = DecodeOrFail(w.Segment());
    // Three 16-bit values do not fit in the value field: the value is their offset.
    EXPECT_NE(ValueOf(r, 273).find(", 3=SamplesPerPixel * StripsPerImage"), std::string::npos)
        << ValueOf(r, 273);

    W one(true);
    one.AddLong(W::Ifd0, 273, 2036);
    EXPECT_EQ(ValueOf(DecodeOrFail(one.Segment()), 273), "2036, 1=StripsPerImage");
}

TEST(ExifRecord, ReportListsEveryEntryInOrderWithItsOwnLabel) {
    const CExifRecord r = DecodeOrFail(CameraBlock(false));
    const std::string report = r.Report();
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = report.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(report.substr(start, end - start));
    ASSERT_EQ(start, report.size()); // every line ends in CR LF
    ASSERT_EQ(lines.size(), 103u);
    EXPECT_EQ(lines[0], "Make: Canon");
    EXPECT_EQ(lines[3], "Exposure Time: 1/125");
    EXPECT_EQ(lines[15], "Artist: ---");
    EXPECT_EQ(lines[54], "JPEGT ables: ---");
    EXPECT_EQ(lines[79], "Strip Byte Conunts: ---");
    EXPECT_EQ(lines[102], "Date & Time Original: 2003:12:14 12:01:44");
    for (int i = 0; i < CExifRecord::kEntryCount; ++i)
        EXPECT_LE(std::strlen(r.Entry(i).label), kExifLabelMax) << r.Entry(i).label;
    EXPECT_EQ(r.Report("\n").find('\r'), std::string::npos);

    // A fresh record reports every entry absent.
    CExifRecord empty;
    const std::string blank = empty.Report("\n");
    EXPECT_EQ(std::count(blank.begin(), blank.end(), '\n'), 103);
    EXPECT_EQ(blank.find(": ---\n"), blank.find('\n') - 5);
}

TEST(ExifRecord, RatioFormatter) {
    std::string s;
    EXPECT_DOUBLE_EQ(FormatRatio(1, 60, s), 1.0 / 60);
    EXPECT_EQ(s, "1/60");
    s.clear();
    EXPECT_DOUBLE_EQ(FormatRatio(28, 10, s), 2.8);
    EXPECT_EQ(s, "2.80");
    s = "x";
    EXPECT_EQ(FormatRatio(5, 0, s), 0);
    EXPECT_EQ(s, "x");
    s.clear();
    FormatRatio(-7, 2, s);
    EXPECT_EQ(s, "-7/2");
    s.clear();
    FormatRatio(2, 1, s);
    EXPECT_EQ(s, "2.00");
}

TEST(ExifRecord, BlocksWithoutTheSignatureOrByteOrderCarryNothing) {
    auto good = CameraBlock(false);
    CExifRecord r;
    auto noSignature = good;
    noSignature[7] = 'g';
    EXPECT_FALSE(r.Decode(noSignature.data(), noSignature.size()));
    auto badOrder = good;
    badOrder[10] = 'X';
    badOrder[11] = 'X';
    EXPECT_FALSE(r.Decode(badOrder.data(), badOrder.size()));
    EXPECT_EQ(ValueOf(r, 271), "<absent>");
    EXPECT_FALSE(r.Decode(good.data(), 9));
    EXPECT_FALSE(r.Decode(nullptr, 0));
    // A record decodes afresh each time.
    ASSERT_TRUE(r.Decode(good.data(), good.size()));
    ASSERT_TRUE(r.Decode(good.data(), good.size()));
    EXPECT_EQ(ValueOf(r, 282), "180/1 ");
}

TEST(ExifRecord, DamagedChainsAndOffsetsAreSkippedAndDecodingEnds) {
    // The thumbnail directory links back to IFD0: each directory is read once.
    W loop(false);
    loop.AddRationals(W::Ifd0, 282, {{72, 1}});
    loop.AddRationals(W::Ifd1, 283, {{72, 1}});
    loop.LinkBackToIfd0();
    const CExifRecord r = DecodeOrFail(loop.Segment());
    EXPECT_EQ(ValueOf(r, 282), "72/1 ");
    EXPECT_EQ(ValueOf(r, 283), "72/1 ");

    // IFD0 linking to itself.
    W self(true);
    self.AddRationals(W::Ifd0, 282, {{72, 1}});
    self.LinkBackToIfd0();
    EXPECT_EQ(ValueOf(DecodeOrFail(self.Segment()), 282), "72/1 ");

    // Values and directories outside the segment are skipped; the rest still shows.
    W far(false);
    far.AddAscii(W::Ifd0, 271, "Nikon");
    far.AddRawEntry(W::Ifd0, 272, W::Ascii, 20, 0xFFFFFFF0u);
    far.AddRawEntry(W::Ifd0, 282, W::Rational, 0x40000000u, 8);
    far.AddRawEntry(W::Ifd0, 37500, W::Undefined, 0xFFFFFFFFu, 8);
    far.AddRawEntry(W::Ifd0, 34665, W::Long, 1, 0xFFFFFFF8u); // offset + 8 wraps in 32 bits
    far.AddRawEntry(W::Ifd0, 40965, W::Long, 1, 60000);
    const CExifRecord f = DecodeOrFail(far.Segment());
    EXPECT_EQ(ValueOf(f, 271), "Nikon");
    EXPECT_EQ(ValueOf(f, 272), "<absent>");
    EXPECT_EQ(ValueOf(f, 282), "<absent>");
    EXPECT_EQ(ValueOf(f, 37500), "<absent>");

    // A directory that claims more entries than the segment holds.
    auto block = CameraBlock(true);
    block[18] = 0xFF; // IFD0 entry count, Motorola: 0xFF.. entries
    CExifRecord big;
    ASSERT_TRUE(big.Decode(block.data(), block.size()));
    EXPECT_TRUE(big.FindEntry(271)->present);

    // Every truncation of a good block decodes without reading past its end.
    for (bool motorola : {false, true}) {
        const auto full = CameraBlock(motorola);
        for (std::size_t n = 0; n <= full.size(); ++n) {
            std::vector<std::uint8_t> cut(full.begin(), full.begin() + long(n));
            CExifRecord t;
            t.Decode(cut.data(), cut.size());
        }
    }
}

TEST(ExifRecord, ValueTextsAreBounded) {
    W w(false);
    std::vector<std::uint8_t> note(5000, 0xAB);
    w.AddBytes(W::Ifd0, 37500, W::Undefined, note);
    std::string longText(6000, 'x');
    w.AddAscii(W::Ifd0, 270, longText);
    std::vector<std::pair<long, long>> many(1000, {72, 1});
    w.AddRationals(W::Ifd0, 282, many);
    const CExifRecord r = DecodeOrFail(w.Segment());
    EXPECT_EQ(ValueOf(r, 37500).size(), kExifValueTextMax);
    EXPECT_EQ(ValueOf(r, 270).size(), kExifValueTextMax);
    EXPECT_EQ(ValueOf(r, 282).size(), kExifValueTextMax);
    EXPECT_EQ(ValueOf(r, 37500).substr(0, 4), "abab");
}

TEST(JpegExifSegment, FindsTheExifSegmentEvenWhenXmpFollows) {
    const auto exif = CameraBlock(false);
    std::vector<std::uint8_t> xmp = {0xFF, 0xE1, 0x00, 0x0C, 'h', 't', 't', 'p', ':', '/', '/', 0};
    std::vector<std::uint8_t> jfif = {0xFF, 0xE0, 0x00, 0x07, 'J', 'F', 'I', 'F', 0};
    const auto file = test::JpegWithSegments({jfif, exif, xmp});
    EXPECT_EQ(FindExifSegment(file.data(), file.size()), exif);

    // The last of two camera segments wins.
    W other(true);
    other.AddAscii(W::Ifd0, 271, "Second");
    const auto second = other.Segment();
    const auto two = test::JpegWithSegments({exif, second});
    EXPECT_EQ(FindExifSegment(two.data(), two.size()), second);

    // None at all, not a JPEG, or a segment longer than the file.
    const auto none = test::JpegWithSegments({jfif, xmp});
    EXPECT_TRUE(FindExifSegment(none.data(), none.size()).empty());
    EXPECT_TRUE(FindExifSegment(exif.data(), exif.size()).empty());
    std::vector<std::uint8_t> cut(file.begin(), file.begin() + 2 + long(jfif.size()) + 20);
    EXPECT_TRUE(FindExifSegment(cut.data(), cut.size()).empty());
    EXPECT_TRUE(FindExifSegment(nullptr, 0).empty());
}

TEST(ExifRecord, DecodesTheBlockTheJpegReaderKeeps) {
    const auto segment = CameraBlock(true);
    std::vector<JPGMarker> markers = {{0xE1, {segment.begin() + 4, segment.end()}},
                                      {0xE1, {'h', 't', 't', 'p', ':', '/', '/'}}};
    const std::vector<std::uint8_t> rgb(16 * 8 * 3, 90);
    CSink sink;
    ASSERT_TRUE(WriteJPG(sink, rgb.data(), 16, 8, 80, &markers));
    // The scanner finds the same segment in the file the codec wrote.
    EXPECT_EQ(FindExifSegment(sink.Bytes().data(), sink.Bytes().size()), segment);

    CSource source(sink.Bytes().data(), sink.Bytes().size());
    const ReadResult read = ReadJPG(source);
    ASSERT_TRUE(read.Ok());
    CExifRecord fromBlock;
    ASSERT_TRUE(fromBlock.DecodeBlock(PickCameraBlock(read.markers)));
    EXPECT_EQ(fromBlock.Report(), DecodeOrFail(segment).Report());
    EXPECT_EQ(ValueOf(fromBlock, 33437), "5.60");
}
