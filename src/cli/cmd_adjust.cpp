// quiltara-cli adjust / adjustments: the one-shot operations of the Image and Filters menus.
#include "CliCommand.h"
#include "CliParse.h"
#include "CliPictureFiles.h"

#include "core/filters/AdjustDispatcher.h"
#include "core/image/DIBSection2.h"

#include <cstdio>

namespace quiltara::cli {

namespace {

struct Range {
    const char* name;
    int min, max;
};

bool ReadInts(const std::vector<std::string>& args, std::size_t first,
              std::initializer_list<Range> ranges, std::vector<int>& out, std::string& error) {
    if (args.size() != first + ranges.size()) {
        error = "expected " + std::to_string(ranges.size()) + " value(s):";
        for (const Range& r : ranges) error += std::string(" ") + r.name;
        return false;
    }
    std::size_t i = first;
    for (const Range& r : ranges) {
        int v;
        if (!ParseInt(args[i++], r.min, r.max, v)) {
            error = std::string(r.name) + " must be " + std::to_string(r.min) + ".." +
                    std::to_string(r.max);
            return false;
        }
        out.push_back(v);
    }
    return true;
}

int RunAdjust(const std::vector<std::string>& args) {
    if (args.size() < 3) return Fail("usage: adjust IN OUT OPERATION [VALUES] (see 'adjustments')");
    int op;
    if (!ParseInt(args[2], 0, kAdjOperationCount - 1, op)) op = FindAdjustOperation(args[2]);
    if (op < 0) return Fail("no operation '" + args[2] + "' (see 'adjustments')");

    AdjustSettings settings;
    std::vector<int> v;
    std::string error;
    bool ok = true;
    switch (op) {
    case kAdjBrightnessContrast:
        ok = ReadInts(args, 3, {{"BRIGHTNESS", -127, 127}, {"CONTRAST", -127, 127}}, v, error);
        if (ok) settings.brightness = v[0], settings.contrast = v[1];
        break;
    case kAdjGamma:
        ok = ReadInts(args, 3, {{"POSITION", 0, 200}}, v, error);
        if (ok) settings.gammaPosition = v[0];
        break;
    case kAdjRgbCurves:
        ok = ReadInts(args, 3, {{"RED", 0, 200}, {"GREEN", 0, 200}, {"BLUE", 0, 200}}, v, error);
        if (ok)
            settings.curvesPosition[0] = v[0], settings.curvesPosition[1] = v[1],
            settings.curvesPosition[2] = v[2];
        break;
    case kAdjHueSaturation:
        ok = ReadInts(args, 3, {{"HUE", 0, 360}, {"SATURATION", 0, 200}, {"LIGHTNESS", 0, 200}}, v,
                      error);
        if (ok)
            settings.huePosition = v[0], settings.saturationPosition = v[1],
            settings.lightnessPosition = v[2];
        break;
    case kAdjLevels: {
        if (args.size() != 8) {
            error = "expected 5 values: IN_BLACK GAMMA IN_WHITE OUT_BLACK OUT_WHITE";
            ok = false;
            break;
        }
        int inBlack, inWhite, outBlack, outWhite;
        double gamma;
        if (!ParseInt(args[3], -100000, 100000, inBlack) || !ParseDouble(args[4], gamma) ||
            !ParseInt(args[5], -100000, 100000, inWhite) ||
            !ParseInt(args[6], -100000, 100000, outBlack) ||
            !ParseInt(args[7], -100000, 100000, outWhite)) {
            error = "levels values are numbers (gamma may have a fraction)";
            ok = false;
            break;
        }
        // Typed into the dialog's boxes, with its rules.
        CLevelsModel model;
        model.Select(CLevelsModel::kRGB);
        model.SetInputBlack(inBlack);
        model.SetInputWhite(inWhite);
        model.SetOutputBlack(outBlack);
        model.SetOutputWhite(outWhite);
        model.SetGamma(gamma);
        for (int c = 0; c < 3; ++c) settings.levels[c] = model.Channel(c);
        break;
    }
    default:
        if (args.size() != 3) {
            error = std::string(AdjustOperations()[std::size_t(op)].cliName) + " takes no values";
            ok = false;
        }
    }
    if (!ok) return Fail(error);

    CDIBSection2 picture;
    if (!ReadPicture(args[0], picture, error)) return Fail(error);
    // A one-shot run needs no copy to cancel back to: the operations that work from a
    // copy of the original take it themselves.
    AdjustTarget target;
    target.bitmap = &picture;
    target.Refresh();
    if (!RunAdjustment(target, op, &settings)) return Fail("the operation did not run");
    if (!WritePicture(args[1], picture, false, error)) return Fail(error);
    return 0;
}

int RunAdjustments(const std::vector<std::string>& args) {
    if (!args.empty()) return Fail("adjustments takes no arguments");
    for (const auto& op : AdjustOperations()) {
        const char* values = "";
        switch (op.number) {
        case kAdjBrightnessContrast:
            values = "BRIGHTNESS CONTRAST (-127..127)";
            break;
        case kAdjGamma:
            values = "POSITION (0..200, 100 = 1.0)";
            break;
        case kAdjRgbCurves:
            values = "RED GREEN BLUE (0..200, 100 = neutral)";
            break;
        case kAdjHueSaturation:
            values = "HUE (0..360) SATURATION LIGHTNESS (0..200)";
            break;
        case kAdjLevels:
            values = "IN_BLACK GAMMA IN_WHITE OUT_BLACK OUT_WHITE";
            break;
        default:
            break;
        }
        std::printf("%2d  %-20s %-24s %s\n", op.number, op.cliName, op.command, values);
    }
    return 0;
}

const CliRegistration adjustCommand({"adjust", "adjust IN OUT OPERATION [VALUES]",
                                     "run an adjustment or direct filter (see 'adjustments')",
                                     RunAdjust});
const CliRegistration adjustmentsCommand({"adjustments", "adjustments",
                                          "list the adjustment operations with their values",
                                          RunAdjustments});

} // namespace

} // namespace quiltara::cli
