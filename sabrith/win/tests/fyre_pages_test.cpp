// The fountains' two pages in a real property sheet under Wine: the general
// switches, the current source's values, New up to the limit, Delete with
// its questions, Set Name, an empty list from a preset, OK and Cancel.
#include "sabrith/win/fyre_pages.h"
#include "sabrith/win/page_resources.h"
#include "sabrith/win/tests/page_sheet.h"
#include "tests/test_files.h"

#include <string>
#include <vector>

namespace sabrith {
namespace {

using test::BoxAnswers;

using FyreSheet = test::PageSheet<FyreEffect>;

TEST(FyrePages, GeneralSwitchesAndTheCurrentSourceChangeTheEffect) {
    FyreSheet f;
    ASSERT_TRUE(f.open(2));
    f.click(IDC_FOUNTAIN_RINGS);
    f.click(IDC_FOUNTAIN_JITTER);
    f.slide(IDC_FOUNTAIN_GRAVITY, 128);
    EXPECT_EQ(f.effect.type, 1);
    EXPECT_EQ(f.effect.jitter, 0);
    EXPECT_EQ(f.effect.gravityRate, 128);
    f.renderFrame();

    f.showPage(1);
    HWND list = f.control(IDC_SOURCE_LIST);
    EXPECT_EQ(SendMessageA(list, CB_GETCOUNT, 0, 0), 3) << "Bass, MidRange, Treble";
    SendMessageA(list, CB_SETCURSEL, 2, 0);
    SendMessageA(f.page(), WM_COMMAND, MAKEWPARAM(IDC_SOURCE_LIST, CBN_SELCHANGE), LPARAM(list));
    f.slide(IDC_SOURCE_SENSITIVITY, 150);
    f.slide(IDC_SOURCE_SPEED, 30);
    SendMessageA(f.page(), sliderChanged, 1, 500); // above the maximum 456
    f.pickColor(IDC_SOURCE_COLOR, 1, 0x00FF00);
    f.renderFrame();
    ParticleSource& treble = f.effect.source(2);
    EXPECT_EQ(treble.sensitivity(), 50) << "the trackbar runs the other way";
    EXPECT_EQ(treble.speed, 30);
    EXPECT_EQ(treble.minFreq(), 455) << "the source's own band rule";
    EXPECT_EQ(f.text(IDC_SOURCE_MIN_TEXT), std::to_string(binToHz(455)) + " Hz");
    EXPECT_EQ(treble.color(), 0x00FF00);

    f.close(PSBTN_OK);
    FyreEffect stored{EffectContext{f.store, nullptr, &f.random}};
    EXPECT_EQ(stored.type, 1);
    EXPECT_EQ(stored.gravityRate, 128);
    EXPECT_EQ(stored.source(2).speed, 30);
    EXPECT_EQ(stored.source(2).minFreq(), 455);
}

TEST(FyrePages, NewDeleteAndSetNameAskAndChangeTheList) {
    FyreSheet f;
    ASSERT_TRUE(f.open(2));
    f.showPage(1);
    for (int i = 3; i < FyreEffect::maxSources; ++i) BoxAnswers::click(f, IDC_SOURCE_NEW, IDOK);
    EXPECT_EQ(f.effect.sourceCount(), 20);
    EXPECT_EQ(f.effect.source(19).name(), "New Source");
    BoxAnswers::click(f, IDC_SOURCE_NEW, IDOK);
    EXPECT_EQ(f.effect.sourceCount(), 20);
    ASSERT_EQ(BoxAnswers::seen.size(), 1u);
    EXPECT_EQ(BoxAnswers::seen[0], "Error: You can only create\n20 Particle Systems");

    // Source 19 is current; No keeps it, Yes removes it and shows source 0.
    BoxAnswers::click(f, IDC_SOURCE_DELETE, IDNO);
    ASSERT_EQ(BoxAnswers::seen.size(), 1u);
    EXPECT_EQ(BoxAnswers::seen[0], "Delete Particle Source?: New Source");
    EXPECT_EQ(f.effect.sourceCount(), 20);
    BoxAnswers::click(f, IDC_SOURCE_DELETE, IDYES);
    EXPECT_EQ(f.effect.sourceCount(), 19);
    EXPECT_EQ(SendDlgItemMessageA(f.page(), IDC_SOURCE_LIST, CB_GETCURSEL, 0, 0), 0);

    BoxAnswers::typed = "Sub";
    BoxAnswers::click(f, IDC_SOURCE_SET_NAME, IDOK);
    EXPECT_EQ(f.effect.source(0).name(), "Sub");
    BoxAnswers::typed = "Ignored";
    BoxAnswers::click(f, IDC_SOURCE_SET_NAME, IDCANCEL);
    EXPECT_EQ(f.effect.source(0).name(), "Sub");
    char shown[32] = {};
    GetDlgItemTextA(f.page(), IDC_SOURCE_LIST, shown, sizeof shown);
    EXPECT_STREQ(shown, "Sub");

    while (f.effect.sourceCount() > 1) f.effect.deleteSource(1);
    BoxAnswers::click(f, IDC_SOURCE_DELETE, IDOK);
    ASSERT_EQ(BoxAnswers::seen.size(), 1u);
    EXPECT_EQ(BoxAnswers::seen[0],
              "Delete Source: This is the last particle source\nYou can't delete it.");
    EXPECT_EQ(f.effect.sourceCount(), 1);

    // Cancel brings back the three stored sources.
    f.close(PSBTN_CANCEL);
    EXPECT_EQ(f.effect.sourceCount(), 3);
}

TEST(FyrePages, AnEmptyListDisablesTheSourceControls) {
    FyreSheet f;
    const std::string preset = jk::test::tempFolder() + "empty.lbp";
    const std::string text = "[VedozadI]\r\nNumParticles=0\r\n";
    jk::test::writeFile(preset, text.data(), text.size());
    f.effect.loadSettings(preset.c_str());
    ASSERT_EQ(f.effect.sourceCount(), 0);
    ASSERT_TRUE(f.open(2));
    f.showPage(1);
    EXPECT_FALSE(IsWindowEnabled(f.control(IDC_SOURCE_SPEED)));
    EXPECT_FALSE(IsWindowEnabled(f.control(IDC_SOURCE_BAND)));
    f.slide(IDC_SOURCE_SPEED, 5); // reaches no source
    SendMessageA(f.page(), sliderChanged, 2, 100);
    f.renderFrame();
    BoxAnswers::click(f, IDC_SOURCE_NEW, IDOK);
    ASSERT_EQ(f.effect.sourceCount(), 1);
    EXPECT_TRUE(IsWindowEnabled(f.control(IDC_SOURCE_SPEED)));
    f.close(PSBTN_OK);
}

} // namespace
} // namespace sabrith
