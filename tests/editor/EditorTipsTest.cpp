// The help shown over the editors' fields and buttons: every one has its own,
// and a field's help names the unit its button shows, also after a turn of it.
#include <set>

#include "EditorFixture.h"
#include "core/Units.h"
#include "windows/BodyEditorTips.h"

namespace {

struct EditorTipsTest : EditorTest {
    DialogRecord& Run(BodyInfoStruct b, std::vector<DialogStep> steps) {
        DialogRecord& record = backend.Expect(std::move(steps));
        EditBodyDialog(&b, 0);
        return record;
    }
    static BodyInfoStruct Craft() {
        BodyInfoStruct c;
        FillDefaultCraftInfo(c);
        return c;
    }
    static bool Says(const DialogRecord& r, int16_t item, const std::string& words) {
        const auto it = r.tips.find(item);
        return it != r.tips.end() && it->second.find(words) != std::string::npos;
    }
};

// Every field and button of the layout has help, and no two share it.
void ExpectEveryControlHasItsOwnTip(const DialogRecord& r) {
    std::set<std::string> seen;
    for (const DialogItem& item : r.layout.items) {
        const bool control = item.kind == DialogItemKind::EditText || item.kind == DialogItemKind::Button ||
                             item.kind == DialogItemKind::CheckBox || item.number == kEditParentItem;
        if (!control) continue;
        const auto tip = r.tips.find(item.number);
        ASSERT_NE(tip, r.tips.end()) << "item " << item.number << " has no help";
        EXPECT_GE(tip->second.size(), 12u) << "item " << item.number;
        EXPECT_TRUE(seen.insert(tip->second).second) << "item " << item.number << " repeats: " << tip->second;
    }
}

}  // namespace

TEST_F(EditorTipsTest, EveryBodyFieldAndButtonSaysWhatItIsInItsUnit) {
    const DialogRecord& r = Run(Named("Earth"), {{{}, kEditCancelItem}});
    ExpectEveryControlHasItsOwnTip(r);
    EXPECT_TRUE(Says(r, kEditPosItem + 2, "in kilometres")) << r.tips.at(kEditPosItem + 2);
    EXPECT_TRUE(Says(r, kEditVelItem + 2, "in metres per second")) << r.tips.at(kEditVelItem + 2);
    EXPECT_TRUE(Says(r, kEditRadiusItem, "in kilometres"));
    EXPECT_TRUE(Says(r, kEditMassItem, "in kilograms"));
    EXPECT_TRUE(Says(r, kBodyPeriodItem, "in seconds"));
    EXPECT_TRUE(Says(r, kEditPosItem, "degrees"));
    EXPECT_TRUE(Says(r, kBodyTiltItem, "degrees"));
    EXPECT_TRUE(Says(r, kEditMassUnitItem, "now kilograms"));
}

TEST_F(EditorTipsTest, TheHelpFollowsTheUnitButtons) {
    // km → mi, kg → g, /s → /min, s → min.
    const DialogRecord& r = Run(Named("Earth"), {{{}, kEditPosUnitItem},
                                                 {{}, kEditMassUnitItem},
                                                 {{}, kEditVelTimeUnitItem},
                                                 {{}, kBodyPeriodUnitItem},
                                                 {{}, kEditCancelItem}});
    EXPECT_TRUE(Says(r, kEditPosItem + 2, "in miles")) << r.tips.at(kEditPosItem + 2);
    EXPECT_TRUE(Says(r, kEditPosUnitItem, "now miles"));
    EXPECT_TRUE(Says(r, kEditMassItem, "in grams"));
    EXPECT_TRUE(Says(r, kEditVelItem + 2, "in metres per minute"));
    EXPECT_TRUE(Says(r, kBodyPeriodItem, "in minutes"));
    EXPECT_TRUE(Says(r, kEditRadiusItem, "in kilometres")) << "an unturned unit stays";
}

TEST_F(EditorTipsTest, EveryCraftFieldAndButtonSaysWhatItIsInItsUnit) {
    const DialogRecord& first = Run(Craft(), {{{}, kEditCancelItem}});
    ExpectEveryControlHasItsOwnTip(first);
    EXPECT_TRUE(Says(first, kCraftForceItem, "in newtons"));
    EXPECT_TRUE(Says(first, kCraftDeltaVItem, "in kilometres per second"));
    EXPECT_TRUE(Says(first, kEditRadiusItem, "in metres")) << "a craft is measured in metres";
    const DialogRecord& turned =
        Run(Craft(), {{{}, kCraftForceUnitItem}, {{}, kCraftDeltaVDistUnitItem}, {{}, kEditCancelItem}});
    EXPECT_TRUE(Says(turned, kCraftForceItem, "in pounds-force"));
    EXPECT_TRUE(Says(turned, kCraftDeltaVItem, "in miles per second"));
}

TEST_F(EditorTipsTest, EveryUnitOfTheCyclesHasAWrittenOutName) {
    for (int16_t list : {kDistanceUnitList, kTimeUnitList, kMassUnitList, kInvTimeUnitList, kForceUnitList})
        for (int16_t k = 1;; ++k) {
            const std::string label = GetIndString(list, k);
            if (label.empty()) break;
            // Written out: a word, not a symbol such as "km", "lbf" or "/s".
            const std::string name = UnitLongName(label);
            EXPECT_GE(name.size(), 4u) << "list " << list << " unit " << label;
            EXPECT_EQ(name.find('/'), std::string::npos) << "list " << list << " unit " << label;
        }
}
