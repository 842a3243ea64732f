// quiltara-cli convert IN OUT: reads a picture and writes it in another format,
// chosen by OUT's extension or by a format code of the format table.
#include "CliCommand.h"

#include "core/image/ImageFileBuffer.h"
#include "core/image/ImageFileRoutines.h"
#include "core/image/codecs/FormatTable.h"

#include <cstdlib>

namespace quiltara::cli {
namespace {

int Run(const std::vector<std::string>& args);

const CliCommand kCommand{"convert", "convert IN OUT [--code N] [--quality Q] [--alpha]",
                          "convert a picture; the format follows OUT's extension or --code", Run};
const CliRegistration kRegistration(kCommand);

bool ParseInt(const std::string& text, int low, int high, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end || v < low || v > high) return false;
    value = int(v);
    return true;
}

int Run(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    int code = -1, quality = 75;
    bool alpha = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--code" && i + 1 < args.size()) {
            if (!ParseInt(args[++i], 0, 1000, code)) return Fail("--code needs a format code");
        } else if (args[i] == "--quality" && i + 1 < args.size()) {
            if (!ParseInt(args[++i], 0, 100, quality)) return Fail("--quality needs 0 to 100");
        } else if (args[i] == "--alpha") {
            alpha = true;
        } else if (args[i].rfind("--", 0) == 0) {
            return UsageError(kCommand);
        } else {
            files.push_back(args[i]);
        }
    }
    if (files.size() != 2) return UsageError(kCommand);
    const std::string& in = files[0];
    const std::string& out = files[1];
    if (code < 0) code = SaveFormatForPath(out); // the document's rule for file names
    if (code == kFormatNone) return Fail(UnknownExtensionText(out));
    const FormatEntry* entry = FindFormat(code);
    if (!entry || entry->depth == FormatDepth::kNothing)
        return Fail(out + ": " + ErrorText(kErrBadParam));

    CImageFileBuffer buffer;
    buffer.keepAlpha = alpha;
    unsigned result = buffer.Load(in);
    if (result == kErrNone && !buffer.HasPixels()) result = kErrBadParam;
    if (result != kErrNone) return Fail(in + ": " + buffer.FailureText(result));
    ReportPartialFile(in, buffer.Warning());
    buffer.jpegQuality = quality;
    result = buffer.Save(out, code);
    if (result != kErrNone) return Fail(out + ": " + ErrorText(result));
    return 0;
}

} // namespace
} // namespace quiltara::cli
