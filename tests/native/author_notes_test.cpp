#include <gtest/gtest.h>

#include "driver/author_notes.h"
#include "fake_files.h"

namespace {

const std::string kClean =
    "[Settings]\nProgName=Editor\nProgExe=editor.exe\n[StartProg]\nBeforeUninst=pre.exe\n"
    "[UserTask]\nNumber=1\nTask1=6|2147483649|Software\\Editor|Path\n[Files]\nf1=editor.exe\nf2=lib\\core.dll\n"
    "[Dirs]\nd1=lib\n";

// The findings of a file, "LINE error|warning TEXT" each.
std::vector<std::string> Findings(const std::string& bytes) {
  std::vector<std::string> lines;
  for (const AuthorFinding& f : CheckSettingsFile(bytes, StagedFiles())) {
    lines.push_back(std::to_string(f.line) + (f.error ? " error " : " warning ") + f.text);
  }
  return lines;
}

}  // namespace

TEST(AuthorNotes, ACleanFileHasNone) { EXPECT_EQ(Findings(kClean), std::vector<std::string>{}); }

TEST(AuthorNotes, ASectionGivenAgainAmongManyIsToldWithItsFirstLine) {
  // Many sections, so that the one given again follows a growth of the list.
  std::string file = kClean;
  for (int i = 0; i < 40; ++i) file += "[Extra" + std::to_string(i) + "]\n";
  file += "[Files]\nf9=x.dll\n";
  const std::vector<std::string> found = Findings(file);
  ASSERT_FALSE(found.empty());
  EXPECT_EQ(found.back(), "54 warning [Files]: given again; only the one on line 9 is read");
}

TEST(AuthorNotes, EachMistakeIsFoundOnItsLine) {
  struct Row {
    std::string file;
    std::string finding;  // the one expected, whole
  };
  const std::string head = "[Settings]\nProgName=Editor\nProgExe=editor.exe\n[Files]\nf1=editor.exe\n";  // lines 1-5
  const Row rows[] = {
      // Errors: what the program skips, refuses or misreads.
      {head + "f2=..\\shared.dll\n",
       "6 error [Files] f2: ..\\shared.dll leads outside the installation or is no path below it, so the program "
       "passes it over"},
      {head + "f2=C:\\Windows\\x.dll\n",
       "6 error [Files] f2: C:\\Windows\\x.dll leads outside the installation or is no path below it, so the program "
       "passes it over"},
      {head + "[StartProg]\nBeforeUninst=..\\pre.exe\n",
       "7 error [StartProg] BeforeUninst: ..\\pre.exe leads outside the installation or is no path below it, so the "
       "program passes it over"},
      {"\xEF\xBB\xBF" + head + "f2=a\xC3z.dll\n", "6 error [Files] f2: malformed UTF-8, so the value reads as empty"},
      {"[Settings]\nProgName=Editor\nProgExe=\n[Files]\nf1=editor.exe\n",
       "3 error [Settings] ProgExe: missing or empty, so no run finds the program's file and every uninstall fails "
       "(exit code 1603 unattended)"},
      {"[Settings]\nProgName=Editor\nProgExe=editor.exe\n",
       "1 error no [Files] section, so a run deletes no listed file and every uninstall fails (exit code 1603 "
       "unattended)"},
      {head + "[Dirs]\nd1=lib\nDAT\n",
       "8 error [Dirs] DAT: an empty value names the installation folder itself: delete-all then empties it whole, "
       "the user's files in it too"},
      {head + "[Dirs]\nd1=.\\\n",
       "7 error [Dirs] d1: .\\ names the installation folder itself: delete-all then empties it whole, the user's "
       "files in it too"},
      {"\xEF\xBB\xBF" + head +
           "[Language]\nTitel=a\x80"
           "b\n",
       "7 error [Language] Titel: malformed UTF-8, so the value reads as empty"},
      {head + "[UserTask]\nNumber=1\nTask1=1|data\\x.txt\n",
       "8 error [UserTask] Task1: a file record (any type but 6, 9 and 10) needs a full path in its second field"},
      {head + "[UserTask]\nNumber=1\nTask1=0|\n",
       "8 error [UserTask] Task1: a file record (any type but 6, 9 and 10) needs a full path in its second field"},
      {head + "[UserTask]\nNumber=1\nTask1=6|2147483649||Path\n",
       "8 error [UserTask] Task1: a registry record needs a key in its third field"},
      {head + "[UserTask]\nNumber=1\nTask1=6|2147483649|Software\\X\n",
       "8 error [UserTask] Task1: a registry record needs a value name in its fourth field (an empty one names the "
       "default value)"},
      {head + "[UserTask]\nNumber=1\nTask1=6|7|Software\\X|V\n",
       "8 error [UserTask] Task1: the registry root is no predefined root, so nothing is changed"},
      {head + "[UserTask]\nNumber=1\nTask1=9|C:\\Windows\\System32\\\n",
       "8 error [UserTask] Task1: a library record needs the library's path in its third field"},
      {head + "[UserTask]\nNumber=1\nTask1=10|txt\n",
       "8 error [UserTask] Task1: an association record needs the extension and the application name in its second "
       "and third fields"},
      {head + "[UserTask]\nNumber=200\n",
       "7 error [UserTask] Number: 200 is outside 0 to 127; only its low 8 bits "
       "count, so no task runs"},
      {head + "[UserTask]\nNumber=-1\n",
       "7 error [UserTask] Number: -1 is outside 0 to 127; only its low 8 bits "
       "count, so no task runs"},
      {"[Settings]\nProgExe=editor.exe\n[Files]\nf1=editor.exe\n",
       "1 error [Settings] ProgName: missing, so the window and the list of programs show no name"},
      // Lines count as editors count them (CR LF, a lone CR, blank lines); a
      // file without the signature is read in its legacy code page.
      {"[Settings]\r\nProgName=Editor\r\rProgExe=editor.exe\r\n\r\n[Files]\r\nf1=editor.exe\r\nf2=..\\caf\xE9.dll\r\n",
       "8 error [Files] f2: ..\\caf\xC3\xA9.dll leads outside the installation or is no path below it, so the "
       "program passes it over"},
      // Warnings: legal, but likely not meant.
      {head + "[File]\nf=x.dll\n", "6 warning [File]: unknown section, never read (did you mean [Files]?)"},
      {head + "[Extras]\n", "6 warning [Extras]: unknown section, never read"},
      {"[Settings]\nProgName=Editor\nProgExe=editor.exe\nProgDri=C:\\x\n[Files]\nf1=editor.exe\n",
       "4 warning [Settings] ProgDri: unknown key, never read (did you mean ProgDir?)"},
      {"[Settings]\nProgName=Editor\nProgName=Other\nProgExe=editor.exe\n[Files]\nf1=editor.exe\n",
       "3 warning [Settings] ProgName: given again; the one on line 2 counts"},
      {head + "[UserTask]\nNumber=1\nTask1=6|2147483649|Software\\X|V\nTask2=6|2147483649|Software\\Y|V\n",
       "9 warning [UserTask] Task2: beyond the 1 tasks Number lets run, so never read"},
      {head + "[UserTask]\nNumber=2\nTask2=6|2147483649|Software\\X|V\n",
       "7 warning [UserTask] Task1: missing, a gap in the numbers up to Number=2"},
      {head + "[Dirs]\nd1=lib\nd2=lib\\sub\n",
       "7 warning [Dirs] d1: lib comes before lib\\sub (line 8), which lies inside it, so it is never empty when its "
       "turn comes"},
      {"[Settings]\nProgName=Editor\nProgExe=editor.exe\n[Files]\nf1=other.exe\n",
       "3 warning [Settings] ProgExe: no [Files] value names editor.exe, so the program's file stays"},
      {head + "[Dirs]\nd1=lib\nd2=LIB\\\n", "8 warning [Dirs] d2: LIB\\ names the folder of line 7 again"},
      {head + "f2=lib\\\n", "6 warning [Files] f2: lib\\ names a folder, which a [Files] value never removes"},
  };
  for (const Row& row : rows) {
    EXPECT_EQ(Findings(row.file), std::vector<std::string>{row.finding}) << row.file;
  }
}
