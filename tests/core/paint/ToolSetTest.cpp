#include "core/paint/ToolSet.h"
#include "core/base/SettingsStore.h"
#include "core/paint/BlendModes.h"
#include "core/paint/PaintingContext.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

using namespace quiltara;
using namespace quiltara::test;

namespace {

enum class Op { Position, Tool, Retouch, Effects, Return };

struct Step {
    Op op;
    int arg;
    int blendBefore; // the user's blend mode just before the choice
    int tool;        // current tool after it
    int position;    // bar position after it
    int blend;       // blend mode after it
};

bool RunStep(CToolSet& tools, CPaintingContext& context, const Step& s) {
    context.blendMode = s.blendBefore;
    switch (s.op) {
    case Op::Position:
        return tools.ChoosePosition(s.arg, context);
    case Op::Tool:
        return tools.ChooseTool(s.arg, context);
    case Op::Retouch:
        return tools.ChooseRetouch(s.arg, context);
    case Op::Effects:
        return tools.ChooseEffects(s.arg, context);
    case Op::Return:
        return tools.ReturnToPreviousTool(context);
    }
    return false;
}

std::set<int> IdsWhere(bool (*test)(const CToolRoute&)) {
    std::set<int> ids;
    for (int id = 0; id < kToolIdCount; ++id)
        if (IsToolId(id) && test(RouteFor(id))) ids.insert(id);
    return ids;
}

} // namespace

TEST(ToolSet, BlendModeIsRememberedPerToolBarPosition) {
    const Step steps[] = {
        {Op::Position, 0, 0, kToolPaintBrush, 0, 0},
        {Op::Position, 1, 2, kToolPen, 1, 0},            // slot 0 keeps 2
        {Op::Position, 4, 5, kToolNaturalBrushes, 4, 5}, // slot 1 keeps 5; 4 leaves it
        {Op::Position, 0, 3, kToolPaintBrush, 0, 2},     // 4 has no slot
        {Op::Position, 6, 4, kToolCrossBorder, 6, 0},    // slot 0 keeps 4; clonner Normal
        {Op::Position, 7, 7, kToolPaintBucket, 7, 0},    // 6 has no slot
        {Op::Position, 8, 6, kToolContrast, 8, 0},       // slot 7 keeps 6
        {Op::Position, 9, 9, kToolSelfBlend, 9, 9},      // slot 8 keeps 9, effects read it
        {Op::Effects, 3, 1, kToolMosaic, 9, 9},          // effects keep no slot of their own
        {Op::Position, 10, 6, kToolAddText, 10, 6},      // text leaves the mode alone
        {Op::Position, 1, 6, kToolPen, 1, 5},
        {Op::Tool, kToolArrow, 8, kToolArrow, -1, 8}, // leaving 1 through the menu
        {Op::Position, 1, 10, kToolPen, 1, 8},
        {Op::Position, 7, 0, kToolPaintBucket, 7, 6},
        {Op::Position, 0, 0, kToolPaintBrush, 0, 4},
        // A one-shot tool keeps the position and the mode, and so does its return.
        {Op::Tool, kToolColorPick, 11, kToolColorPick, 0, 11},
        {Op::Return, 0, 11, kToolPaintBrush, 0, 11},
        {Op::Position, 9, 2, kToolMosaic, 9, 9},
        {Op::Tool, kToolColorPick, 3, kToolColorPick, 9, 3},
        {Op::Return, 0, 3, kToolMosaic, 9, 3},
    };
    CToolSet tools;
    CPaintingContext context;
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        const Step& s = steps[i];
        ASSERT_TRUE(RunStep(tools, context, s)) << "step " << i;
        EXPECT_EQ(tools.Current(), s.tool) << "step " << i;
        EXPECT_EQ(context.toolId, s.tool) << "step " << i;
        EXPECT_EQ(tools.Position(), s.position) << "step " << i;
        EXPECT_EQ(context.blendMode, s.blend) << "step " << i;
    }
}

TEST(ToolSet, ListsRememberTheirLastChoice) {
    CToolSet tools;
    CPaintingContext context;
    EXPECT_EQ(tools.ToolAtPosition(kPositionRetouch), kToolContrast);
    EXPECT_EQ(tools.ToolAtPosition(kPositionEffects), kToolSelfBlend);
    const std::vector<int> retouch(RetouchList().begin(), RetouchList().end());
    const std::vector<int> effects(EffectsList().begin(), EffectsList().end());
    EXPECT_EQ(retouch, (std::vector<int>{11, 12, 13, 14, 15, 16, 18, 19, 28, 8, 9, 20}));
    EXPECT_EQ(effects, (std::vector<int>{29, 30, 31, 32, 33, 34, 35, 50, 36, 37, 51, 52, 20}));

    struct List {
        std::span<const int> ids;
        bool (CToolSet::*choose)(int, CPaintingContext&);
        int position;
    };
    for (const List& list : {List{RetouchList(), &CToolSet::ChooseRetouch, kPositionRetouch},
                             List{EffectsList(), &CToolSet::ChooseEffects, kPositionEffects}}) {
        for (std::size_t i = 0; i < list.ids.size(); ++i) {
            ASSERT_TRUE((tools.*list.choose)(int(i), context));
            EXPECT_EQ(tools.Current(), list.ids[i]);
            EXPECT_EQ(tools.Position(), list.position);
            ASSERT_TRUE(tools.ChoosePosition(0, context));
            // The bar's button brings the remembered tool back.
            ASSERT_TRUE(tools.ChoosePosition(list.position, context));
            EXPECT_EQ(tools.Current(), list.ids[i]) << "list entry " << i;
        }
        EXPECT_FALSE((tools.*list.choose)(int(list.ids.size()), context));
    }
    // The restore brush ends both lists and stays on the one it came from.
    ASSERT_TRUE(tools.ChooseRetouch(0, context));
    ASSERT_TRUE(tools.ChooseEffects(12, context));
    ASSERT_TRUE(tools.ChooseTool(kToolRestoreBrush, context));
    EXPECT_EQ(tools.Position(), kPositionEffects);
    EXPECT_EQ(tools.LastRetouch(), kToolContrast);
}

TEST(ToolSet, OneShotToolsReturnAndChoicesWaitForTheStroke) {
    CToolSet tools;
    CPaintingContext context;
    EXPECT_EQ(tools.Current(), kToolPaintBrush);
    EXPECT_EQ(tools.Previous(), kToolPaintBrush);
    ASSERT_TRUE(tools.ChoosePosition(1, context));
    EXPECT_EQ(tools.Previous(), kToolPaintBrush);
    for (int oneShot : {kToolColorPick, kToolTexturePick}) {
        ASSERT_TRUE(tools.ChooseTool(oneShot, context));
        ASSERT_TRUE(tools.ChooseTool(oneShot, context)); // again: the pen stays previous
        EXPECT_EQ(tools.Position(), 1);                  // the bar still shows the pen
        ASSERT_TRUE(tools.ReturnToPreviousTool(context));
        EXPECT_EQ(tools.Current(), kToolPen);
    }

    // A choice during a stroke is refused and changes nothing.
    context.blendMode = kBlendScreen;
    tools.BeginStroke();
    EXPECT_TRUE(tools.StrokeActive());
    EXPECT_FALSE(tools.ChoosePosition(0, context));
    EXPECT_FALSE(tools.ChooseTool(kToolArrow, context));
    EXPECT_FALSE(tools.ChooseRetouch(1, context));
    EXPECT_FALSE(tools.ReturnToPreviousTool(context));
    EXPECT_EQ(tools.Current(), kToolPen);
    EXPECT_EQ(context.blendMode, kBlendScreen);
    tools.EndStroke();
    EXPECT_TRUE(tools.ChoosePosition(0, context));
    EXPECT_FALSE(tools.ChooseTool(40, context)); // no such tool

    ASSERT_TRUE(tools.ChooseTool(kToolZoom, context));
    tools.HoldZoomOut(true);
    EXPECT_EQ(tools.Current(), kToolZoomOut);
    tools.HoldZoomOut(false);
    EXPECT_EQ(tools.Current(), kToolZoom);
    EXPECT_EQ(tools.Previous(), kToolPaintBrush);
}

TEST(ToolSet, RoutesFollowTheToolTable) {
    EXPECT_EQ(IdsWhere([](const CToolRoute& r) { return r.action == ToolAction::Canvas; }),
              (std::set<int>{0, 5, 6, 23, 26, 27, 53}));
    EXPECT_EQ(IdsWhere([](const CToolRoute& r) { return r.oneShot; }), (std::set<int>{7, 22}));
    EXPECT_EQ(IdsWhere([](const CToolRoute& r) { return r.rightPressSetsSource; }),
              (std::set<int>{4}));
    EXPECT_EQ(IdsWhere([](const CToolRoute& r) { return r.needsSource; }), (std::set<int>{20, 54}));
    EXPECT_EQ(IdsWhere([](const CToolRoute& r) { return r.passesTexture; }),
              (std::set<int>{1, 2, 3, 10, 24, 25}));
    EXPECT_EQ(IdsWhere([](const CToolRoute& r) { return r.pressureModeZero; }),
              (std::set<int>{7, 20, 21, 22, 54}));
    EXPECT_EQ(IdsWhere([](const CToolRoute& r) { return r.action == ToolAction::Rectangle; }),
              (std::set<int>{50, 51, 52}));
    // Stroke kinds: the id itself for the tone and effect tools, the neighbourhood kinds
    // 2-5 for soften, sharpen, their mix and the median.
    for (int id = 0; id < kToolIdCount; ++id) {
        const CToolRoute& r = RouteFor(id);
        if (!IsToolId(id)) {
            EXPECT_EQ(r.action, ToolAction::None) << id;
            continue;
        }
        EXPECT_NE(r.action, ToolAction::None) << id;
        EXPECT_STRNE(ToolLabel(id), "") << id;
        int kind = 0;
        if ((id >= 11 && id <= 17) || (id >= 29 && id <= 37)) kind = id;
        if (id == 8 || id == 9) kind = id - 6;
        if (id == 18 || id == 19) kind = id - 14;
        if (id == 4) kind = 1;
        if (id == 21) kind = 7;
        if (id == 28) kind = 28;
        EXPECT_EQ(r.colorSourceKind, kind) << id;
    }
    EXPECT_EQ(RouteFor(-1).action, ToolAction::None);
    EXPECT_EQ(RouteFor(kToolIdCount).action, ToolAction::None);
}

TEST(ToolSet, EveryToolPaintsWithItsLibraryAndRemembersTheSelection) {
    // Each library holds brushes named "<folder> <index>".
    TempFolder folder;
    const std::string brushes = folder.Path() + "Brushes";
    for (const CToolLibrary& tool : ToolLibraries()) {
        CBrushLibrary library;
        for (int i = 0; i < 6; ++i) {
            CBrush brush;
            brush.name = std::string(tool.folder) + " " + std::to_string(i);
            library.Append(brush);
        }
        std::filesystem::create_directories(brushes + "/" + tool.folder);
        ASSERT_TRUE(library.Save(brushes + "/" + tool.folder + "/" + kDefaultLibraryName));
    }
    // A second pen library named by the settings; a retouch name that tries to leave
    // its folder falls back to the default file.
    CBrushLibrary pens;
    CBrush fine;
    fine.name = "fine pen";
    pens.Append(fine);
    ASSERT_TRUE(pens.Save(brushes + "/Pen/fine.brs"));
    CMemorySettingsStore store;
    store.SetString("GSettings", "Pens", "fine.brs");
    store.SetString("GSettings", "Retouch", "../Brush/default.brs");
    store.SetInt("GSettings", "BrushNo", 2);

    CToolSet tools;
    CPaintingContext context;
    EXPECT_TRUE(tools.LoadLibraries(brushes, store, context).empty());
    EXPECT_EQ(context.brush.name, "Brush 2");
    EXPECT_EQ(tools.Selection(4), 4); // "RetNo" default

    const std::map<int, std::string> expected = {
        {kToolPaintBrush, "Brush 2"},   {kToolPen, "fine pen"}, // selection 4 clamped
        {kToolAirbrush, "Airbrush 4"},  {kToolRubberStamp, "Stamp 4"},
        {kToolImageNozzle, "Nozzle 0"}, {kToolNaturalBrushes, "Natural 0"},
        {kToolContrast, "Retouch 4"},   {kToolRestoreBrush, "Retouch 4"},
        {kToolLineBridge, "Retouch 4"}, {kToolHeatColors, "Retouch 4"},
    };
    for (int id = 0; id < kToolIdCount; ++id) {
        if (!IsToolId(id)) continue;
        context.brush.name = "kept";
        ASSERT_TRUE(tools.ChooseTool(id, context)) << id;
        const auto it = expected.find(id);
        if (it != expected.end()) {
            EXPECT_EQ(context.brush.name, it->second) << id;
        } else {
            const int library = ToolLibraryIndex(id);
            EXPECT_EQ(context.brush.name, library == 4 ? "Retouch 4" : "kept") << id;
            EXPECT_EQ(library, (id >= 11 && id <= 20) || (id >= 28 && id <= 37) ? 4 : -1) << id;
        }
    }

    ASSERT_TRUE(tools.ChooseTool(kToolAirbrush, context));
    EXPECT_EQ(tools.ActiveLibrary(), 2);
    EXPECT_FALSE(tools.SelectBrush(6, context));
    ASSERT_TRUE(tools.SelectBrush(1, context));
    EXPECT_EQ(context.brush.name, "Airbrush 1");
    ASSERT_TRUE(tools.ChooseTool(kToolPaintBrush, context));
    ASSERT_TRUE(tools.ChooseTool(kToolAirbrush, context));
    EXPECT_EQ(context.brush.name, "Airbrush 1");
    tools.SaveSelections(store);
    EXPECT_EQ(store.GetInt("GSettings", "AirNo", -1), 1);
    EXPECT_EQ(store.GetInt("GSettings", "BrushNo", -1), 2);
    EXPECT_EQ(store.GetInt("GSettings", "HoseNo", -1), 0);
}
