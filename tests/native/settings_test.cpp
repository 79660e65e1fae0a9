#include <gtest/gtest.h>

#include "fake_files.h"
#include "settings/plural.h"
#include "settings/settings.h"
#include "text/text.h"

namespace {

const std::string kOwn = "C:\\Tools\\";
const std::string kDat = "C:\\Tools\\uninstall.dat";

class SettingsTest : public ::testing::Test {
 protected:
  void SetUp() override { ClearStagedFiles(); }
  void TearDown() override { EXPECT_EQ(HeldFileCount(), 0) << "the settings file was left open"; }
};

}  // namespace

TEST_F(SettingsTest, DefaultsWithoutAFile) {
  const UninstallSettings s = ReadUninstallSettings(StagedFiles(), kOwn);
  EXPECT_EQ(s.own_directory, kOwn);
  EXPECT_EQ(s.settings_path, kDat);
  EXPECT_EQ(s.prog_exe, "-1");
  EXPECT_EQ(s.prog_dir, "\\");
  EXPECT_FALSE(s.script);
  EXPECT_FALSE(s.no_del_all);
  EXPECT_FALSE(s.login_admin);
  EXPECT_EQ(s.guid, "");

  const UiTexts t = LoadUiTexts(StagedFiles(), kDat);
  EXPECT_EQ(t[UiText::kTitel], "Uninstall Program");
  EXPECT_EQ(t[UiText::kMutex], "Close Program '' first!|Then press OK!");
  EXPECT_EQ(t.name_line, "");
  EXPECT_EQ(t[UiText::kLogin], "Login");
}

TEST_F(SettingsTest, ReadsEverySettingAndStartProgram) {
  StageFile(kDat,
            "[Settings]\nProgName=Editor\nMutexString=EditorMutex\nProgExe=editor.exe\nProgDir=C:\\Tools\n"
            "StartMenu=C:\\Menu\\Editor\nGUID={1234}\nScript=1\nNoDelAll=1\nDesktopIcon=C:\\Desk\\Editor.lnk\n"
            "LoginAdmin=3\n[StartProg]\nBeforeUninst=before.exe\nBeforeParam=/b\nAfterUninst=after.exe\n"
            "AfterParam=/a \"x\"\n");
  const UninstallSettings s = ReadUninstallSettings(StagedFiles(), kOwn);
  EXPECT_EQ(s.mutex_string, "EditorMutex");
  EXPECT_EQ(s.prog_exe, "editor.exe");
  EXPECT_EQ(s.prog_dir, "C:\\Tools\\");
  EXPECT_EQ(s.start_menu, "C:\\Menu\\Editor");
  EXPECT_EQ(s.guid, "{1234}");
  EXPECT_TRUE(s.script);
  EXPECT_TRUE(s.no_del_all);
  EXPECT_EQ(s.desktop_icon, "C:\\Desk\\Editor.lnk");
  EXPECT_TRUE(s.login_admin);
  EXPECT_EQ(s.before_uninst, "before.exe");
  EXPECT_EQ(s.before_param, "/b");
  EXPECT_EQ(s.after_uninst, "after.exe");
  EXPECT_EQ(s.after_param, "/a \"x\"");
}

TEST_F(SettingsTest, NoDelAllCountsOnlyInTheProgramsOwnDirectory) {
  StageFile(kDat, "[Settings]\nProgDir=C:\\Tools\\\nNoDelAll=1\n");
  EXPECT_TRUE(ReadUninstallSettings(StagedFiles(), kOwn).no_del_all);
  StageFile("D:\\Elsewhere\\uninstall.dat", "[Settings]\nProgDir=C:\\Tools\\\nNoDelAll=1\n");
  EXPECT_FALSE(ReadUninstallSettings(StagedFiles(), "D:\\Elsewhere\\").no_del_all);
  // The comparison is exact, so another spelling of the same directory does not count.
  StageFile(kDat, "[Settings]\nProgDir=c:\\tools\nNoDelAll=1\n");
  EXPECT_FALSE(ReadUninstallSettings(StagedFiles(), kOwn).no_del_all);
}

TEST_F(SettingsTest, FlagsKeepOnlyTheLowEightBits) {
  const struct {
    const char* value;
    bool on;
  } cases[] = {{"1", true}, {"256", false}, {"257", true}, {"yes1", false}, {"-1", true}, {"", false}, {"0", false}};
  for (const auto& c : cases) {
    StageFile(kDat, std::string("[Settings]\nProgDir=C:\\Tools\nScript=") + c.value + "\nLoginAdmin=" + c.value +
                        "\nNoDelAll=" + c.value + "\n");
    const UninstallSettings s = ReadUninstallSettings(StagedFiles(), kOwn);
    EXPECT_EQ(s.script, c.on) << c.value;
    EXPECT_EQ(s.login_admin, c.on) << c.value;
    EXPECT_EQ(s.no_del_all, c.on) << c.value;
  }
}

TEST_F(SettingsTest, NameLineAndVersionWord) {
  StageFile(kDat, "[Settings]\nProgName=Editor\nVersion=2.1\n");
  EXPECT_EQ(LoadUiTexts(StagedFiles(), kDat).name_line, "Editor (Version 2.1)");
  StageFile(kDat, "[Settings]\nProgName=Editor\nVersion=2.1\n[Language]\nVersion=Versie\n");
  EXPECT_EQ(LoadUiTexts(StagedFiles(), kDat).name_line, "Editor (Versie 2.1)");
  StageFile(kDat, "[Settings]\nProgName=Editor\n[Language]\nVersion=Versie\n");
  const UiTexts t = LoadUiTexts(StagedFiles(), kDat);
  EXPECT_EQ(t.name_line, "Editor");
  EXPECT_EQ(t.program_name, "Editor");
  EXPECT_EQ(t[UiText::kVersion], "Versie");
}

TEST_F(SettingsTest, LanguageOverridesEveryTextAndEmptyValuesCount) {
  StageFile(kDat,
            "[Settings]\nProgName=Editor\n[Language]\nTitel=\nMsg=m\nUninstInfo=u\nDelAll=d\nError=e\nStatus=s\n"
            "Mutex=Bitte '$Titel' beenden|$Titel\nLogon=lo\nUser=us\nPassword=pw\nRQ_Titel=rt\nRQ_Msg=rm\nOK=ok\n"
            "Cancel=ca\nReady=re\nLogin=li\n");
  const UiTexts t = LoadUiTexts(StagedFiles(), kDat);
  EXPECT_EQ(t[UiText::kTitel], "");
  EXPECT_EQ(t[UiText::kMsg], "m");
  EXPECT_EQ(t[UiText::kUninstInfo], "u");
  EXPECT_EQ(t[UiText::kDelAll], "d");
  EXPECT_EQ(t[UiText::kError], "e");
  EXPECT_EQ(t[UiText::kStatus], "s");
  EXPECT_EQ(t[UiText::kMutex], "Bitte 'Editor' beenden|Editor");
  EXPECT_EQ(t[UiText::kLogon], "lo");
  EXPECT_EQ(t[UiText::kUser], "us");
  EXPECT_EQ(t[UiText::kPassword], "pw");
  EXPECT_EQ(t[UiText::kRqTitel], "rt");
  EXPECT_EQ(t[UiText::kRqMsg], "rm");
  EXPECT_EQ(t[UiText::kOk], "ok");
  EXPECT_EQ(t[UiText::kCancel], "ca");
  EXPECT_EQ(t[UiText::kReady], "re");
  EXPECT_EQ(t[UiText::kLogin], "li");
}

TEST_F(SettingsTest, TitelIsReplacedOnlyInTheMutexText) {
  StageFile(kDat, "[Settings]\nProgName=$Titel\n[Language]\nMsg=$Titel\nMutex=$Titel|$titel\n");
  const UiTexts t = LoadUiTexts(StagedFiles(), kDat);
  EXPECT_EQ(t[UiText::kMsg], "$Titel");
  EXPECT_EQ(t[UiText::kMutex], "$Titel|$titel");
}

TEST_F(SettingsTest, Utf8LanguageTexts) {
  StageFile(kDat,
            "\xEF\xBB\xBF[Settings]\nProgName=Caf\xC3\xA9\n[Language]\nTitel=Entfernen\xC3\xA4\nOK=\xE2\x82\xAC\n");
  const UiTexts t = LoadUiTexts(StagedFiles(), kDat);
  EXPECT_EQ(t.program_name, "Caf\xC3\xA9");
  EXPECT_EQ(t[UiText::kTitel], "Entfernen\xC3\xA4");
  EXPECT_EQ(t[UiText::kOk], "\xE2\x82\xAC");
}

TEST_F(SettingsTest, ReadSettingValueOpensReadsAndCloses) {
  StageFile(kDat, "[Settings]\nProgLink=Editor 2\n");
  EXPECT_EQ(ReadSettingValue(StagedFiles(), "Settings", "ProgLink", "", kDat), "Editor 2");
  EXPECT_EQ(ReadSettingValue(StagedFiles(), "Settings", "Missing", "dflt", kDat), "dflt");
  EXPECT_EQ(ReadSettingValue(StagedFiles(), "Nope", "ProgLink", "dflt", kDat), "dflt");
  EXPECT_EQ(ReadSettingValue(StagedFiles(), "Settings", "ProgLink", "gone", "C:\\none.dat"), "gone");
}

// Each [Language] key changes its own text and no other: no two rows share a
// key, and none reads into another text's place; only the Version word also
// stands in the name line's default.
TEST_F(SettingsTest, EveryLanguageKeyReadsIntoItsOwnTextAlone) {
  const UiTexts defaults;
  for (size_t i = 0; i < static_cast<size_t>(UiText::kCount); ++i) {
    const UiText id = static_cast<UiText>(i);
    StageFile(kDat, std::string("[Language]\n") + LanguageKey(id) + "=mine\n");
    const UiTexts t = LoadUiTexts(StagedFiles(), kDat);
    for (size_t j = 0; j < static_cast<size_t>(UiText::kCount); ++j) {
      const UiText other = static_cast<UiText>(j);
      const std::string expected = i == j ? "mine"
                                   : id == UiText::kVersion && other == UiText::kNameLine
                                       ? "$Name (mine $Version)"
                                       : ReplaceAll(defaults[other], "$Titel", "");
      EXPECT_EQ(t[other], expected) << LanguageKey(id);
    }
  }
}

TEST(PluralFormOf, FollowsEachLanguagesRuleForWholeNumbers) {
  using F = PluralForm;
  struct Row {
    const char* language;
    std::vector<std::pair<uint32_t, F>> forms;
  };
  const Row rows[] = {
      {"ru",
       {{1, F::kOne},
        {2, F::kFew},
        {5, F::kMany},
        {11, F::kMany},
        {21, F::kOne},
        {22, F::kFew},
        {25, F::kMany},
        {111, F::kMany},
        {0, F::kMany}}},
      {"pl", {{1, F::kOne}, {2, F::kFew}, {5, F::kMany}, {12, F::kMany}, {21, F::kMany}, {22, F::kFew}, {0, F::kMany}}},
      {"cs", {{1, F::kOne}, {2, F::kFew}, {4, F::kFew}, {5, F::kOther}, {22, F::kOther}}},
      {"fr", {{0, F::kOne}, {1, F::kOne}, {2, F::kOther}}},
      {"ar",
       {{0, F::kZero}, {1, F::kOne}, {2, F::kTwo}, {3, F::kFew}, {11, F::kMany}, {100, F::kOther}, {103, F::kFew}}},
      {"en", {{0, F::kOther}, {1, F::kOne}, {2, F::kOther}}},
      {"he", {{1, F::kOne}, {2, F::kTwo}, {3, F::kOther}}},
      {"pt-PT", {{0, F::kOther}, {1, F::kOne}}},
      {"PT_br", {{0, F::kOne}, {1, F::kOne}, {2, F::kOther}}},
      {"ja", {{1, F::kOther}}},
      {"xx", {{1, F::kOne}, {2, F::kOther}}},  // no rule here: as English
  };
  for (const Row& row : rows) {
    for (const auto& form : row.forms) {
      EXPECT_EQ(PluralFormOf(row.language, form.first), form.second) << row.language << " " << form.first;
    }
  }
}

TEST_F(SettingsTest, CountsTakeTheLanguagesFormsAndTemplatesFillOnce) {
  // A Russian list of what stayed: every form given, in UTF-8 with its signature.
  StageFile(kDat,
            "\xEF\xBB\xBF[Language]\nPlural=ru\nEntries=$N записи (other)\nEntriesOne=$N запись\nEntriesFew=$N записи\n"
            "EntriesMany=$N записей\n");
  UiTexts t = LoadUiTexts(StagedFiles(), kDat);
  EXPECT_EQ(CountedText(t, UiText::kEntries, 1), "1 запись");
  EXPECT_EQ(CountedText(t, UiText::kEntries, 2), "2 записи");
  EXPECT_EQ(CountedText(t, UiText::kEntries, 5), "5 записей");
  EXPECT_EQ(CountedText(t, UiText::kEntries, 21), "21 запись");
  // Today's two keys alone keep working; a one form without $N is for 1 only.
  StageFile(kDat, "\xEF\xBB\xBF[Language]\nPlural=ru\nEntries=$N Einträge\nEntriesOne=1 Eintrag\n");
  t = LoadUiTexts(StagedFiles(), kDat);
  EXPECT_EQ(CountedText(t, UiText::kEntries, 1), "1 Eintrag");
  EXPECT_EQ(CountedText(t, UiText::kEntries, 21), "21 Einträge");
  EXPECT_EQ(CountedText(UiTexts(), UiText::kWhyHeld, 1), "kept, it holds 1 file or folder the setup did not install");
  EXPECT_EQ(CountedText(UiTexts(), UiText::kMore, 0), "and 0 more");
  // The name line as the author orders it; a value holding a name stays as it is.
  StageFile(kDat, "[Settings]\nProgName=Editor $Version\nVersion=2.1\n[Language]\nNameLine=$Version :$Name\n");
  EXPECT_EQ(LoadUiTexts(StagedFiles(), kDat).name_line, "2.1 :Editor $Version");
  EXPECT_EQ(FilledTemplate("$Path: $Why", {{"$Path", "C:\\$Why"}, {"$Why", "in use"}}), "C:\\$Why: in use");
}
