#include <gtest/gtest.h>

#include <vector>

#include "fake_files.h"
#include "settings/settings_file.h"

namespace {

FileHold NoHold() { return FileHold(nullptr, nullptr); }

class Reader {
 public:
  explicit Reader(const std::string& bytes) { file.Load("C:\\App\\uninstall.dat", bytes, NoHold()); }
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

TEST(SettingsUtf8, SignatureSwitchesToDecodedValues) {
  Reader r("\xEF\xBB\xBF[Language]\nTitel=Entfernen\xC3\xA4\nEuro=\xE2\x82\xAC\nLatin=\xC3\xBF\xC2\x80 \n");
  EXPECT_TRUE(r.file.IsUtf8());
  EXPECT_EQ(r.Read("Language", "Titel"), "Entfernen\xE4");
  EXPECT_EQ(r.Read("Language", "Euro"), "");
  EXPECT_EQ(r.Read("Language", "Latin"), "\xFF\x80");
}

TEST(SettingsUtf8, MalformedValuesReadEmptyAndACutSequenceIsDropped) {
  Reader r(
      "\xEF\xBB\xBF[G]\nCont=a\x80z\nHigh=a\xF8z\nBroken=a\xC3z\nCut=abc\xC3\nCut3=abc\xE2\x82\n"
      "Overlong=a\xC0\x80z\nOverlongA=\xC1\x81\nNumber= 42\xC3\xA4\n");
  EXPECT_EQ(r.Read("G", "Cont"), "");
  EXPECT_EQ(r.Read("G", "High"), "");
  EXPECT_EQ(r.Read("G", "Broken"), "");
  EXPECT_EQ(r.Read("G", "Cut"), "abc");
  EXPECT_EQ(r.Read("G", "Cut3"), "abc");
  EXPECT_EQ(r.Read("G", "Overlong"), "");
  EXPECT_EQ(r.Read("G", "OverlongA"), "");
  r.file.SelectGroup("G");
  EXPECT_EQ(r.file.ReadNumber("Number", 0), 42);
}

TEST(SettingsUtf8, WantedNamesAreEncodedBeforeComparing) {
  Reader utf8(
      "\xEF\xBB\xBF[Gr\xC3\xBC\xC3\x9F"
      "e]\nK\xC3\xA4y=v\n");
  EXPECT_EQ(utf8.Read("Gr\xFC\xDF"
                      "e",
                      "K\xE4y"),
            "v");
  EXPECT_EQ(utf8.Read("GR\xFC\xDF"
                      "E",
                      "k\xE4Y"),
            "v");
  // Case folding covers ASCII only.
  EXPECT_EQ(utf8.Read("Gr\xDC\xDF"
                      "e",
                      "K\xE4y"),
            "<default>");
  Reader ansi(
      "[Gr\xFC\xDF"
      "e]\nK\xE4y=\xC3\xA4\n");
  EXPECT_FALSE(ansi.file.IsUtf8());
  EXPECT_EQ(ansi.Read("Gr\xFC\xDF"
                      "e",
                      "K\xE4y"),
            "\xC3\xA4");
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
