// quiltara-cli text: the text tool's picture drawn into a picture at a point, as the
// canvas commits it (continuing across the tile's edges).
#include "CliCommand.h"
#include "CliParse.h"
#include "CliPictureFiles.h"

#include "core/paint/TextTool.h"

#include <cstdio>
#include <iostream>

namespace quiltara::cli {

namespace {

bool ParseColor(const std::string& text, ColorRef& color) {
    std::string hex = text;
    if (!hex.empty() && hex[0] == '#') hex.erase(0, 1);
    if (hex.size() != 6 || hex.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    const unsigned long rgb = std::stoul(hex, nullptr, 16);
    color = MakeColorRef(int(rgb >> 16), int(rgb >> 8), int(rgb));
    return true;
}

// "\n" written out in an argument stands for a line break.
std::string WithLineBreaks(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 1 < text.size() && text[i + 1] == 'n') {
            out += '\n';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

int RunText(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    CTextSettings settings;
    settings.fontName = "DejaVu Sans";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--font" && hasValue) {
            settings.fontName = args[++i];
        } else if (a == "--size" && hasValue) {
            if (!ParseDouble(args[++i], settings.size)) return Fail("--size takes a number");
        } else if (a == "--bold") {
            settings.bold = true;
        } else if (a == "--italic") {
            settings.italic = true;
        } else if (a == "--bevel") {
            settings.bevel = true;
        } else if (a == "--color" && hasValue) {
            if (!ParseColor(args[++i], settings.color))
                return Fail("--color takes RRGGBB in hexadecimal");
        } else if (a == "--shadow" && hasValue) {
            settings.shadow = true;
            if (!ParseInt(args[++i], 0, 1000, settings.shadowDistance))
                return Fail("--shadow takes a distance from 0 to 1000");
        } else if (a.rfind("--", 0) == 0) {
            return Fail("unknown option " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() != 4)
        return Fail("usage: text IN OUT X,Y \"TEXT\" [--font F] [--size N] [--bold] [--italic] "
                    "[--color RRGGBB] [--shadow D] [--bevel]");
    if (const std::string refused = CheckTextSize(settings.size); !refused.empty())
        return Fail(refused);
    settings.text = WithLineBreaks(positional[3]);
    CDIBSection2 picture;
    std::string error;
    if (!ReadPicture(positional[0], picture, error)) return Fail(error);
    const std::string& at = positional[2];
    const std::size_t comma = at.find(',');
    int x = 0, y = 0;
    const long long reach = 1LL << 30;
    if (comma == std::string::npos || !ParseInt(at.substr(0, comma), -reach, reach, x) ||
        !ParseInt(at.substr(comma + 1), -reach, reach, y))
        return Fail("the point is X,Y in pixels, y down: the text's top-left corner");
    const TextPicture text = RenderTextPicture(settings);
    if (!text.ok) return Fail(text.error);
    if (!text.fontExact)
        std::cerr << "quiltara-cli: the font " << settings.fontName << " is not installed; "
                  << text.fontUsed << " is used instead\n";
    BlendWrapped(picture, text.picture, x, y);
    if (!WritePicture(positional[1], picture, false, error)) return Fail(error);
    return 0;
}

const CliRegistration textCommand(
    {"text",
     "text IN OUT X,Y \"TEXT\" [--font F] [--size N] [--bold] [--italic] [--color RRGGBB] "
     "[--shadow D] [--bevel]",
     "draw TEXT with its top-left corner at X,Y as the text tool does: drawn at twice the "
     "size N (24 by default) and halved; F is a font family (the nearest installed one is "
     "used when it is missing; DejaVu Sans by default), the colour black by default, D the "
     "drop shadow's distance (gray), --bevel a 3D bevel; \\n in TEXT breaks the line; text "
     "running past an edge continues at the opposite edge",
     RunText});

} // namespace

} // namespace quiltara::cli
