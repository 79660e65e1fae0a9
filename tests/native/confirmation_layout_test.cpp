#include <gtest/gtest.h>

#include "platform/run_platform.h"
#include "ui/confirmation_layout.h"

TEST(FontForText, TheRasterSystemFontGivesWayToArialForLettersBeyondAscii) {
  EXPECT_EQ(FontForText(ControlFont::System10Bold, "Login"), ControlFont::System10Bold);
  EXPECT_EQ(FontForText(ControlFont::System10Bold, "כניסה"), ControlFont::Arial10Bold);
  EXPECT_EQ(FontForText(ControlFont::Arial8, "登录"), ControlFont::Arial8) << "Arial links to every script";
}

TEST(FontHeight, IsTheNegativeRoundedCharacterHeight) {
  EXPECT_EQ(FontHeight(8, 96), -11);    // 10.67
  EXPECT_EQ(FontHeight(10, 96), -13);   // 13.33
  EXPECT_EQ(FontHeight(9, 96), -12);    // exact
  EXPECT_EQ(FontHeight(8, 120), -13);   // 13.33
  EXPECT_EQ(FontHeight(10, 120), -17);  // 16.67
  EXPECT_EQ(FontHeight(3, 84), -4);     // 3.5 rounds away from zero
  EXPECT_EQ(FontHeight(10, 144), -20);
  EXPECT_EQ(FontHeight(0, 96), 0);
  EXPECT_EQ(FontHeight(-8, 96), 11);  // a negative size gives the other sign, as before
}

TEST(CentredPlacement, CentresInIntegersAndClampsToTheScreen) {
  const Placement normal = CentredPlacement(406, 229, 1024, 768);
  EXPECT_EQ(normal.left, 309);
  EXPECT_EQ(normal.top, 269);
  EXPECT_EQ(normal.width, 406);
  EXPECT_EQ(normal.height, 229);
  const Placement odd = CentredPlacement(407, 230, 1025, 769);
  EXPECT_EQ(odd.left, 309);
  EXPECT_EQ(odd.top, 269);
  const Placement clamped = CentredPlacement(406, 229, 320, 200);
  EXPECT_EQ(clamped.left, 0);
  EXPECT_EQ(clamped.top, 0);
  EXPECT_EQ(clamped.width, 320);
  EXPECT_EQ(clamped.height, 200);
}

TEST(WindowTexts, TitleAndOptionCarryOneLeadingBlank) {
  UiTexts texts;
  EXPECT_EQ(WindowTitle(texts), " ");
  texts.program_name = "Editor";
  texts.name_line = "Editor (Version 2.1)";
  EXPECT_EQ(WindowTitle(texts), " Editor");
  EXPECT_EQ(ControlText(kDeleteAllId, texts), " Delete all(!) files in the directory (including user files).");
  EXPECT_EQ(ControlText(kProgramNameId, texts), "Editor (Version 2.1)");
  EXPECT_EQ(ControlText(kHeadingId, texts), "Uninstall Program");
  EXPECT_EQ(ControlText(kReadyButtonId, texts), "Ready");
  EXPECT_EQ(ControlText(kTitleBandId, texts), "");
  texts[UiText::kDelAll].clear();
  EXPECT_EQ(ControlText(kDeleteAllId, texts), " ");
}

TEST(StatusText, TwoBlanksBeforeTheItem) {
  EXPECT_EQ(StatusText("C:\\x.lnk"), "  C:\\x.lnk");
  EXPECT_EQ(StatusText(""), "  ");
}

TEST(ProgressPercent, HundredthsOfWhatIsDoneAtAnyCount) {
  const struct {
    size_t done, total;
    int percent;
  } rows[] = {{0, 0, 0},
              {5, 0, 0},
              {0, 1, 0},
              {1, 1, 100},
              {1, 3, 33},
              {2000, 2000, 100},
              {999, 2000, 49},
              {4000000000u, 4000000000u, 100},
              {2000000000u, 4000000000u, 49}};
  for (const auto& row : rows)
    EXPECT_EQ(ProgressPercent(row.done, row.total), row.percent) << row.done << "/" << row.total;
}
