// quiltara-cli filter / filters: the parameterised filters of the "FIlter" dialog.
#include "CliCommand.h"
#include "CliParse.h"
#include "CliPictureFiles.h"

#include "core/base/RuntimeRandom.h"
#include "core/filters/FilterFactory.h"
#include "core/image/DIBSection2.h"

#include <cctype>
#include <cstdio>
#include <sstream>

namespace quiltara::cli {

namespace {

int FindSlot(const std::string& text) {
    int slot;
    if (ParseInt(text, 0, kFilterSlotCount - 1, slot)) return IsFilterSlotUsed(slot) ? slot : -1;
    return FindFilterSlot(text);
}

// "Radius=80", "1=80" (parameter index) or "radius=80" (name without case or spaces).
bool SetNamedValue(CFilterFactory& f, const std::string& assignment, std::string& error) {
    const auto eq = assignment.find('=');
    if (eq == std::string::npos || eq == 0) {
        error = "expected NAME=VALUE, got '" + assignment + "'";
        return false;
    }
    const std::string name = assignment.substr(0, eq), text = assignment.substr(eq + 1);
    int value;
    if (!ParseInt(text, 0, kFilterValueMax, value)) {
        error = "value of " + name + " must be 0..255";
        return false;
    }
    int index = -1;
    if (!ParseInt(name, 0, f.GetParamCount() - 1, index)) {
        auto simple = [](const std::string& s) {
            std::string out;
            for (char c : s)
                if (std::isalnum(static_cast<unsigned char>(c)))
                    out += char(std::tolower(static_cast<unsigned char>(c)));
            return out;
        };
        for (int i = 0; i < f.GetParamCount(); ++i)
            if (simple(f.GetParamName(i)) == simple(name)) index = i;
    }
    if (index < 0) {
        error = "the filter has no parameter '" + name + "'";
        return false;
    }
    f.SetValue(index, value);
    return true;
}

int RunFilter(const std::vector<std::string>& args) {
    std::vector<std::string> positional;
    std::string slotText, valuesText;
    int seed = 1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if ((a == "--slot" || a == "--values" || a == "--seed") && i + 1 < args.size()) {
            const std::string& v = args[++i];
            if (a == "--slot")
                slotText = v;
            else if (a == "--values")
                valuesText = v;
            else if (!ParseInt(v, 0, 2147483647, seed))
                return Fail("--seed needs a number");
        } else if (a.rfind("--", 0) == 0) {
            return Fail("unknown option " + a);
        } else {
            positional.push_back(a);
        }
    }
    if (positional.size() < 2)
        return Fail("usage: filter IN OUT SLOT|NAME [NAME=VALUE ...] [--values V0,V1,...]");
    if (slotText.empty()) {
        if (positional.size() < 3) return Fail("no filter slot given (see 'quiltara-cli filters')");
        slotText = positional[2];
        positional.erase(positional.begin() + 2);
    }
    const int slot = FindSlot(slotText);
    if (slot < 0) return Fail("no filter '" + slotText + "' (see 'quiltara-cli filters')");

    CRuntimeRandom random(static_cast<std::uint32_t>(seed));
    CFilterFactory f(nullptr, &random);
    f.SelectFilter(slot);
    if (!valuesText.empty()) {
        std::stringstream list(valuesText);
        std::string item;
        int i = 0;
        while (std::getline(list, item, ',')) {
            int v;
            if (i >= kFilterMaxParams || !ParseInt(item, 0, kFilterValueMax, v))
                return Fail("--values takes up to eight numbers 0..255");
            f.SetValue(i++, v);
        }
    }
    for (std::size_t i = 2; i < positional.size(); ++i) {
        std::string error;
        if (!SetNamedValue(f, positional[i], error)) return Fail(error);
    }

    CDIBSection2 picture;
    std::string error;
    if (!ReadPicture(positional[0], picture, error)) return Fail(error);
    f.ApplyOnce(picture.GetBits(), picture.GetWidth(), picture.GetHeight());
    if (!WritePicture(positional[1], picture, false, error)) return Fail(error);
    return 0;
}

int RunFilters(const std::vector<std::string>& args) {
    if (!args.empty()) return Fail("filters takes no arguments");
    for (const FilterSlot& s : FilterTable()) {
        if (s.id < 0) continue;
        std::printf("%2d  %s\n", s.id, s.name.c_str());
        for (int i = 0; i < s.paramCount; ++i) {
            const FilterParam& p = s.params[std::size_t(i)];
            std::printf("      %d %-18s default %3d  (%s)\n", i, p.name.c_str(), p.defaultValue,
                        FormatParamValue(p.format, p.defaultValue).c_str());
        }
    }
    return 0;
}

const CliRegistration filterCommand(
    {"filter", "filter IN OUT SLOT|NAME [NAME=VALUE ...] [--values V0,V1,...] [--seed N]",
     "run a filter of the filter table (values 0..255; see 'filters')", RunFilter});
const CliRegistration filtersCommand({"filters", "filters",
                                      "list the filter slots with their parameters", RunFilters});

} // namespace

} // namespace quiltara::cli
