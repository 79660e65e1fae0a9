#include <gtest/gtest.h>

#include <vector>

#include "fake_files.h"
#include "settings/settings_file.h"
#include "text/text.h"

namespace {

FileHold NoHold() { return FileHold(nullptr, nullptr); }

class Reader {
 public:
  explicit Reader(const std::string& bytes, FileReader& files = StagedFiles()) {
    file.Load(files, "C:\\App\\uninstall.dat", bytes, NoHold());
  }
  std::string Read(const std::string& group, const std::string& key, const std::string& fallback = "<default>") {
    file.SelectGroup(group);
    return file.ReadString(key, fallback);
  }
  std::vector<std::string> Values(const std::string& group) {
    std::vector<std::string> values;
    if (file.SelectGroup(group) && file.ExamineKeys()) {
      while (file.NextKey()) values.push_back(file.KeyValue());
    }
    return values;
  }
  SettingsFile file;
};

using Values = std::vector<std::string>;

}  // namespace

TEST(SettingsSyntax, BlanksAroundNamesAndValues) {
  Reader r("[Settings]\n  ProgName = My App  \n\tVersion\t=\t2.1\t\n");
  EXPECT_EQ(r.Read("Settings", "ProgName"), "My App");
  EXPECT_EQ(r.Read("Settings", "progname"), "My App");
  EXPECT_EQ(r.Read("Settings", "PROGNAME"), "My App");
  EXPECT_EQ(r.Read("Settings", "Version"), "2.1");
}

TEST(SettingsSyntax, GroupNamesAreTakenExactlyInsideTheBrackets) {
  Reader r("[ Settings ]\nA=spaced\n[settings] trailing words\nA=plain\n[Open\nA=unclosed\n");
  EXPECT_EQ(r.Read("Settings", "A"), "plain");
  EXPECT_EQ(r.Read(" Settings ", "A"), "spaced");
  EXPECT_EQ(r.Read("Open", "A"), "unclosed");
  EXPECT_EQ(r.Read("settings] trailing words", "A"), "<default>");
  // A bracket opens a group only where the line starts with it, blanks aside.
  Reader inside("K=[Dirs]\n; [Dirs]\n \t[Dirs]\nA=indented\n");
  EXPECT_EQ(inside.Values("Dirs"), Values{"indented"});
}

TEST(SettingsSyntax, ValuesKeepEqualsSignsSemicolonsAndQuotes) {
  Reader r("[G]\nMsg=a=b\nNote=x ; note\nQ=\"C:\\a b\\\"\n  ;Titel=Hello\nEmpty=\nBare\n=nameless\n");
  EXPECT_EQ(r.Read("G", "Msg"), "a=b");
  EXPECT_EQ(r.Read("G", "Note"), "x ; note");
  EXPECT_EQ(r.Read("G", "Q"), "\"C:\\a b\\\"");
  EXPECT_EQ(r.Read("G", "Titel"), "<default>");
  EXPECT_EQ(r.Read("G", ";Titel"), "<default>");
  EXPECT_EQ(r.Read("G", "Empty"), "");
  EXPECT_EQ(r.Read("G", "Bare"), "");
  EXPECT_EQ(r.Read("G", ""), "nameless");
}

TEST(SettingsSyntax, EveryKindOfLineEndParsesAlike) {
  const std::string lines[] = {"[S]", "A=1", "", "B = two ", "[T]", "A=3"};
  std::string crlf, lf, cr, mixed;
  for (const auto& l : lines) {
    crlf += l + "\r\n";
    lf += l + "\n";
    cr += l + "\r";
    mixed += l + "\n\r\n\r";
  }
  std::string nul = lf;
  for (char& c : nul) c = c == '\n' ? '\0' : c;
  const std::string no_final_end = lf.substr(0, lf.size() - 1);
  for (const std::string& text : {crlf, lf, cr, mixed, nul, no_final_end}) {
    Reader r(text);
    EXPECT_EQ(r.Read("S", "A"), "1");
    EXPECT_EQ(r.Read("S", "B"), "two");
    EXPECT_EQ(r.Read("T", "A"), "3");
    EXPECT_EQ(r.Values("S"), (Values{"1", "two"}));
  }
}

TEST(SettingsSyntax, LinesOfBlanksAreEmptyNotKeys) {
  Reader r("[Dirs]\n   \n\t\t\nd1=sub\n \t \n");
  EXPECT_EQ(r.Values("Dirs"), Values{"sub"});
}

TEST(SettingsLookup, KeysBelongToTheirGroupAndTheFirstDuplicateWins) {
  Reader r("Loose=before\n[A]\nK=a1\nK=a2\n[B]\nOnly=b\n[A]\nK=late\nLate=x\n");
  EXPECT_EQ(r.Read("A", "K"), "a1");
  EXPECT_EQ(r.Read("A", "Only"), "<default>");
  EXPECT_EQ(r.Read("A", "Late"), "<default>");
  EXPECT_EQ(r.Read("B", "Only"), "b");
  EXPECT_EQ(r.Read("", "Loose"), "before");
  EXPECT_EQ(r.Read("", "K"), "<default>");
  EXPECT_EQ(r.Values("A"), (Values{"a1", "a2"}));
}

TEST(SettingsLookup, AMissingGroupHidesThePreviousOne) {
  Reader r("[A]\nK=a\n");
  EXPECT_TRUE(r.file.SelectGroup("A"));
  EXPECT_EQ(r.file.ReadString("K", "d"), "a");
  EXPECT_FALSE(r.file.SelectGroup("Nope"));
  EXPECT_EQ(r.file.ReadString("K", "d"), "d");
  EXPECT_EQ(r.file.ReadNumber("K", 7), 7);
  EXPECT_FALSE(r.file.ExamineKeys());
  EXPECT_FALSE(r.file.NextKey());
  EXPECT_TRUE(r.file.SelectGroup(""));
  EXPECT_TRUE(r.file.SelectGroup("a"));
  EXPECT_EQ(r.file.ReadString("K", "d"), "a");
}

TEST(SettingsLookup, NumbersFollowTheirOwnDefaultRule) {
  Reader r("[N]\nEmpty=\nMixed=12abc\nNeg= -3\nWord=yes1\nBig=4294967297\nSigned=+5\n");
  r.file.SelectGroup("N");
  EXPECT_EQ(r.file.ReadNumber("Empty", 99), 0);
  EXPECT_EQ(r.file.ReadNumber("Mixed", 99), 12);
  EXPECT_EQ(r.file.ReadNumber("Neg", 99), -3);
  EXPECT_EQ(r.file.ReadNumber("Word", 99), 0);
  EXPECT_EQ(r.file.ReadNumber("Big", 99), 1);
  EXPECT_EQ(r.file.ReadNumber("Signed", 99), 5);
  EXPECT_EQ(r.file.ReadNumber("Absent", 99), 99);
}

TEST(SettingsEnumeration, SkipsCommentsAndStopsAtTheNextGroup) {
  Reader r("[Files]\nf1=a.exe\n; a comment\nf2=b.dll\n;another\nf3=c.txt\n[Dirs]\nd=x\n");
  ASSERT_TRUE(r.file.SelectGroup("Files"));
  ASSERT_TRUE(r.file.ExamineKeys());
  EXPECT_EQ(r.file.KeyValue(), "");
  std::vector<std::string> seen;
  while (r.file.NextKey()) {
    seen.push_back(r.file.KeyValue());
    // A lookup in between does not move the cursor.
    EXPECT_EQ(r.file.ReadString("f1"), "a.exe");
  }
  EXPECT_EQ(seen, (Values{"a.exe", "b.dll", "c.txt"}));
  EXPECT_EQ(r.file.KeyValue(), "c.txt");  // the cursor stays on the last key
  EXPECT_FALSE(r.file.NextKey());
  ASSERT_TRUE(r.file.ExamineKeys());  // a new enumeration starts over
  ASSERT_TRUE(r.file.NextKey());
  EXPECT_EQ(r.file.KeyValue(), "a.exe");
}

TEST(SettingsEnumeration, EmptyGroupsAndGroupsAtTheEnd) {
  EXPECT_EQ(Reader("[Files]\n[Dirs]\nd=x\n").Values("Files"), Values{});
  EXPECT_EQ(Reader("[Dirs]").Values("Dirs"), Values{});
  EXPECT_EQ(Reader("[Dirs]\nd=x").Values("Dirs"), Values{"x"});
  EXPECT_EQ(Reader("").Values("Dirs"), Values{});
}

// A system whose legacy code page has "\xA3" for Ł (as Central European
// code pages do), and whose active code page is UTF-8, or the legacy one
// where the manifest is ignored.
class FakeCodePages final : public FileReader {
 public:
  explicit FakeCodePages(bool utf8_active) : utf8_active_(utf8_active) {}
  HeldFileBytes ReadHeldFile(const std::string&) override { return {}; }
  std::string LegacyText(std::string_view bytes) override {
    if (!utf8_active_) return std::string(bytes);
    return ReplaceAll(ReplaceAll(std::string(bytes), "\xA3", "\xC5\x81"), "\xE9", "\xC3\xA9");
  }
  bool Utf8Text(std::string_view utf8, std::string& text) override {
    text = utf8;
    if (utf8_active_) return true;
    // Without UTF-8, a letter the legacy page lacks has no exact form.
    text = ReplaceAll(ReplaceAll(text, "\xC5\x81", "\xA3"), "\xC3\xA9", "\xE9");
    return text.find_first_of("\xC0\xC3\xC5\xD0\xE7\xF0") == std::string::npos;
  }

 private:
  bool utf8_active_;
};

TEST(SettingsDecoding, LegacyBytesAndUtf8BecomeTheProgramsText) {
  struct Row {
    const char* file;
    bool utf8_active;
    const char* expected;  // the value of [G] K
  };
  const Row rows[] = {
      // Without the signature: the legacy code page, names and values alike.
      {"[G\xA3]\nK\xE9=\xA3ukasz\\caf\xE9\n", true, "\xC5\x81ukasz\\caf\xC3\xA9"},
      {"[G\xA3]\nK\xE9=\xA3ukasz\n", false, "\xA3ukasz"},
      // With it, every code point is kept: Cyrillic, Chinese, an emoji.
      {"\xEF\xBB\xBF[G\xC5\x81]\nK\xC3\xA9=\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD \xE7\x8E\x8B \xF0\x9F\x98\x80\n", true,
       "\xD0\x98\xD0\xB2\xD0\xB0\xD0\xBD \xE7\x8E\x8B \xF0\x9F\x98\x80"},
      {"\xEF\xBB\xBF[G\xC5\x81]\nK\xC3\xA9=caf\xC3\xA9\n", false, "caf\xE9"},
      // A letter the active code page lacks cannot be had exactly: empty.
      {"\xEF\xBB\xBF[G\xC5\x81]\nK\xC3\xA9=\xD0\x98\n", false, ""},
  };
  for (const Row& row : rows) {
    FakeCodePages pages(row.utf8_active);
    Reader r(row.file, pages);
    const bool utf8_names = row.utf8_active || r.file.IsUtf8();
    EXPECT_EQ(r.Read(utf8_names ? "G\xC5\x81" : "G\xA3", utf8_names ? "K\xC3\xA9" : "K\xE9"), row.expected) << row.file;
  }
}

// A sequence cut short by the value's end too: dropped, it would name another file.
TEST(SettingsDecoding, MalformedValuesReadEmpty) {
  Reader r(
      "\xEF\xBB\xBF[G]\nCont=a\x80z\nHigh=a\xF8z\nBroken=a\xC3z\nCut=abc\xC3\nCut3=abc\xE2\x82\n"
      "Overlong=a\xC0\x80z\nOverlongA=\xC1\x81\nSurrogate=\xED\xA0\x80\nBeyond=\xF4\x90\x80\x80\n"
      "Euro=\xE2\x82\xAC\nNumber= 42\xC3\xA4\n");
  EXPECT_TRUE(r.file.IsUtf8());
  for (const char* key : {"Cont", "High", "Broken", "Cut", "Cut3", "Overlong", "OverlongA", "Surrogate", "Beyond"}) {
    EXPECT_EQ(r.Read("G", key), "") << key;
  }
  EXPECT_EQ(r.Read("G", "Euro"), "\xE2\x82\xAC");
  r.file.SelectGroup("G");
  EXPECT_EQ(r.file.ReadNumber("Number", 0), 42);
}

TEST(SettingsUtf8, OnlyASignatureOrPartOfOne) {
  Reader only("\xEF\xBB\xBF");
  EXPECT_TRUE(only.file.IsUtf8());
  EXPECT_EQ(only.Read("Settings", "A"), "<default>");
  Reader partial("\xEF\xBB\n[G]\nA=1\n");
  EXPECT_FALSE(partial.file.IsUtf8());
  EXPECT_EQ(partial.Read("G", "A"), "1");
}

TEST(SettingsFileLifecycle, UnreadableFilesGiveDefaultsAndCloseResets) {
  ClearStagedFiles();
  SettingsFile file;
  EXPECT_FALSE(file.Open(StagedFiles(), "C:\\missing\\uninstall.dat"));
  EXPECT_EQ(file.Path(), "C:\\missing\\uninstall.dat");
  EXPECT_TRUE(file.SelectGroup(""));
  EXPECT_FALSE(file.SelectGroup("Settings"));
  EXPECT_EQ(file.ReadString("ProgExe", "-1"), "-1");

  StageFile("C:\\App\\uninstall.dat", "[Settings]\nProgExe=app.exe\n");
  EXPECT_TRUE(file.Open(StagedFiles(), "C:\\App\\uninstall.dat"));
  EXPECT_EQ(HeldFileCount(), 1);
  EXPECT_TRUE(file.SelectGroup("Settings"));
  EXPECT_EQ(file.ReadString("ProgExe", "-1"), "app.exe");
  // Opening another file releases the first.
  StageFile("C:\\Other\\uninstall.dat", "[Settings]\n");
  EXPECT_TRUE(file.Open(StagedFiles(), "C:\\Other\\uninstall.dat"));
  EXPECT_EQ(HeldFileCount(), 1);
  file.Close();
  EXPECT_EQ(HeldFileCount(), 0);
  EXPECT_EQ(file.Path(), "");
  EXPECT_FALSE(file.SelectGroup("Settings"));
  EXPECT_FALSE(file.ExamineKeys());
  EXPECT_EQ(file.ReadString("ProgExe", "d"), "d");
  {
    SettingsFile scoped;
    scoped.Open(StagedFiles(), "C:\\App\\uninstall.dat");
    EXPECT_EQ(HeldFileCount(), 1);
  }
  EXPECT_EQ(HeldFileCount(), 0);
}

TEST(SettingsRobustness, GarbageAndHugeLinesParseInOnePass) {
  std::string garbage;
  for (int i = 0; i < 100000; ++i) garbage += static_cast<char>((i * 7919) % 256);
  Reader g(garbage);
  g.Values("Settings");
  g.Read("Settings", "ProgName");

  std::string huge = "[Files]\nf=" + std::string(20 * 1024 * 1024, 'x') + "\n[Dirs]\nd=y";
  Reader h(huge);
  EXPECT_EQ(h.Values("Dirs"), Values{"y"});
  ASSERT_EQ(h.Values("Files").size(), 1u);

  std::string many;
  for (int i = 0; i < 200000; ++i) many += "k=v\n";
  Reader m("[Files]\n" + many);
  EXPECT_EQ(m.Values("Files").size(), 200000u);
}

TEST(SettingsLookup, SmallAndHugeGroupsAnswerAlike) {
  for (const int keys : {100, 70000}) {
    std::string text = "[G]\n";
    for (int i = 0; i < keys; ++i) text += "Key" + std::to_string(i) + "=v" + std::to_string(i) + "\n";
    text += "KEY5=later duplicate\n[H]\nKey1=other group\n";
    Reader r(text);
    EXPECT_EQ(r.Read("G", "key5"), "v5") << keys;
    EXPECT_EQ(r.Read("G", "Key" + std::to_string(keys - 1)), "v" + std::to_string(keys - 1)) << keys;
    EXPECT_EQ(r.Read("G", "Key" + std::to_string(keys)), "<default>") << keys;
    EXPECT_EQ(r.Read("H", "KEY1"), "other group") << keys;
    r.file.SelectGroup("G");
    EXPECT_EQ(r.file.ReadNumber("Key7", 0), 0) << "v7 is not a number";
  }
}
