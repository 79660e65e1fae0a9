#include <gtest/gtest.h>

#include <functional>

#include "checker/author_notes.h"
#include "driver/user_tasks.h"
#include "external/running_program.h"
#include "fake_files.h"
#include "read_alike.h"
#include "removal/file_association.h"
#include "removal/file_removal.h"
#include "removal/file_system.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "text/text.h"

namespace {

const std::string kOwn = "C:\\Apps\\Editor\\";

const std::string kClean =
    "[Settings]\nProgName=Editor\nProgExe=editor.exe\n[StartProg]\nBeforeUninst=pre.exe\n"
    "[UserTask]\nNumber=1\nTask1=6|2147483649|Software\\Editor|Path\n[Files]\nf1=editor.exe\nf2=lib\\core.dll\n"
    "[Dirs]\nd1=lib\n";

// The findings of a file, "LINE[:COLUMN] error|warning TEXT" each.
std::vector<std::string> Findings(const std::string& bytes) {
  std::vector<std::string> lines;
  for (const AuthorFinding& f : CheckSettingsFile(bytes, StagedFiles())) {
    lines.push_back(std::to_string(f.line) + (f.column > 0 ? ":" + std::to_string(f.column) : "") +
                    (f.error ? " error " : " warning ") + f.text);
  }
  return lines;
}

// What the program's core makes of a file in the own directory kOwn.
struct Reading {
  UninstallSettings settings;
  UiTexts texts;
  bool files_group = false;
  std::vector<std::string> files, dirs;
  std::vector<TaskRecord> tasks;  // those a run undoes
};

Reading ReadAsTheProgram(const std::string& bytes) {
  ClearStagedFiles();
  const std::string path = SettingsPathFor(kOwn);
  StageFile(path, bytes);
  Reading r;
  r.settings = ReadUninstallSettings(StagedFiles(), kOwn);
  r.texts = LoadUiTexts(StagedFiles(), path);
  r.files = GroupValues(StagedFiles(), path, "Files");
  r.dirs = GroupValues(StagedFiles(), path, "Dirs");
  SettingsFile file;
  file.Open(StagedFiles(), path);
  r.files_group = file.SelectGroup("Files");
  file.SelectGroup("UserTask");
  for (int i = 1, count = TaskCount(file.ReadNumber("Number", 0)); i <= count; ++i) {
    const std::string record = file.ReadString("Task" + std::to_string(i));
    if (!record.empty()) r.tasks.push_back(ParseTaskRecord(record));
  }
  file.Close();
  ClearStagedFiles();
  return r;
}

// Whether a listed value is acted on: below the own directory, within the limit.
bool Acted(const std::string& value) {
  std::string relative;
  return RelativePathBelow(value, relative) && !BeyondPathLimit(kOwn + relative);
}
// Every run fails: no program file to find, or no [Files] to delete.
bool Fails(const Reading& r) {
  return r.settings.prog_exe == "-1" || TrimBlanks(r.settings.prog_exe).empty() || !r.files_group;
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
  EXPECT_EQ(found.back(), "54:1 warning [Files]: given again; only the one on line 9 is read");
}

// Each file of author mistakes: the checker's findings, and what the
// program's core does with the same file, which is what they say. Where the
// checker finds nothing, the program does what was meant.
TEST(AuthorNotes, EveryFindingIsWhatTheProgramDoes) {
  struct Row {
    std::string file;
    std::vector<std::string> found;  // "LINE[:COLUMN] error|warning" "|" a part of the text
    std::function<bool(const Reading&)> program;
  };
  const std::string head = "[Settings]\nProgName=Editor\nProgExe=editor.exe\n[Files]\nf1=editor.exe\n";  // lines 1-5
  const std::string bom = "\xEF\xBB\xBF";
  const std::string tasks = head + "[UserTask]\nNumber=1\n";  // Task1 on line 8
  const auto task = [](const Reading& r) { return r.tasks.size() == 1 ? r.tasks[0] : TaskRecord{}; };
  const Row rows[] = {
      // Errors: the run fails, removes the wrong thing or skips what was written.
      {head + "f2=..\\shared.dll\n",
       {"6:4 error|leads outside the installation"},
       [](auto& r) { return !Acted(r.files[1]); }},
      // Quoted with control characters escaped, cut after 80 letters.
      {head + "f2=..\\a\x1B[2J" + std::string(200, 'x') + "\n",
       {"6:4 error|f2: ..\\a\\x1B[2J" + std::string(72, 'x') + "... leads outside"},
       [](auto& r) { return !Acted(r.files[1]); }},
      {head + "f2=C:\\Windows\\x.dll\n", {"6:4 error|leads outside"}, [](auto& r) { return !Acted(r.files[1]); }},
      {head + "f2=lib\\" + std::string(300, 'x') + ".dll\n",
       {"6:4 error|260 characters or more even in a folder"},
       [](auto& r) { return !Acted(r.files[1]); }},
      {head + "[StartProg]\nBeforeUninst=..\\pre.exe\n",
       {"7:14 error|leads outside"},
       [](auto& r) { return !Acted(r.settings.before_uninst); }},
      {bom + head + "f2=a\xC3z.dll\n",
       {"6:5 error|[Files] f2: malformed UTF-8"},
       [](auto& r) { return r.files[1].empty(); }},
      // A sequence cut short by the value's end: dropping it would name another file.
      {bom + head + "f2=ab.dl\xC3\n", {"6:9 error|malformed UTF-8"}, [](auto& r) { return r.files[1].empty(); }},
      {bom + head +
           "[Language]\nTitel=a\x80"
           "b\n",
       {"7:8 error|[Language] Titel: malformed UTF-8"},
       [](auto& r) { return r.texts[UiText::kTitel].empty(); }},
      {"[Settings]\nProgName=Editor\nProgExe=\n[Files]\nf1=editor.exe\n", {"3 error|ProgExe: missing or empty"}, Fails},
      {"[Settings]\nProgName=Editor\nProgExe=editor.exe\n", {"1 error|no [Files] section"}, Fails},
      {"[Files]\nf1=editor.exe\n", {"1 error|no [Settings] section"}, Fails},
      {"\xFF\xFE[\0S\0e\0t\0", {"1 error|the file is UTF-16"}, Fails},
      // A NUL ends a line for the program, which reads on: [Files] here, but no [Settings].
      {std::string("[\0Settings]\nProgExe=e.exe\n[Files]\nf1=e.exe\n", 43),
       {"1 error|the file is UTF-16"},
       [](auto& r) { return Fails(r) && r.files == std::vector<std::string>{"e.exe"}; }},
      {"[Settings]\nProgName=\xD0\xA0\xD0\xB5\xD0\xB4\nProgExe=editor.exe\n[Files]\nf1=editor.exe\n",
       {"2 error|UTF-8 without its signature"},
       [](auto& r) { return r.texts.program_name != "\xD0\xA0\xD0\xB5\xD0\xB4"; }},
      {head + "[Dirs]\nd1=lib\nDAT\n",
       {"8:1 error|an empty value names the installation folder itself"},
       [](auto& r) { return r.dirs[1].empty() && Acted(r.dirs[1]); }},
      {head + "[Dirs]\nd1=.\\\n",
       {"7:1 error|.\\ names the installation folder itself"},
       [](auto& r) {
         std::string rel;
         return RelativePathBelow(r.dirs[0], rel) && rel.empty();
       }},
      {head + "f2\n", {"6:1 error|names the installation folder, no file"}, [](auto& r) { return r.files[1].empty(); }},
      {head + "[Language]\nOK\n",
       {"7:1 error|[Language] OK: no \"=\""},
       [](auto& r) { return r.texts[UiText::kOk].empty(); }},
      {"[Settings]\nProgName=Editor\nProgExe=editor.exe\nScript=yes\n[Files]\nf1=editor.exe\n",
       {"4:8 error|yes is no number; the program reads 0, so no script runs"},
       [](auto& r) { return !r.settings.script; }},
      {"[Settings]\nProgName=Editor\nProgExe=editor.exe\nScript=256\n[Files]\nf1=editor.exe\n",
       {"4:8 error|only the low 8 bits of 256 count"},
       [](auto& r) { return !r.settings.script; }},
      {"[Settings]\nProgName=Editor\nProgExe=editor.exe\nLoginAdmin=true\n[Files]\nf1=editor.exe\n",
       {"4:12 error|no administrator rights are asked for"},
       [](auto& r) { return !r.settings.login_admin; }},
      {"[Settings]\nProgName=Editor\nProgExe=editor.exe\nNoDelAll=1\n[Files]\nf1=editor.exe\n",
       {"4:10 error|ProgDir is missing, so delete-all is offered"},
       [](auto& r) { return !r.settings.no_del_all; }},
      {tasks + "Task1=1|data\\x.txt\n",
       {"8:7 error|needs a full path"},
       [&](auto& r) { return !IsFullPath(task(r).field2); }},
      {tasks + "Task1=0|\n", {"8:7 error|needs a full path"}, [&](auto& r) { return task(r).field2.empty(); }},
      {tasks + "Task1=1|C:\\Data\\*.log\n",
       {"8:7 error|holds a wildcard"},
       [&](auto& r) { return task(r).field2 == "C:\\Data\\*.log"; }},  // removed by that name alone
      {tasks + "Task1=6|2147483649||Path\n",
       {"8:7 error|needs a key"},
       [&](auto& r) { return task(r).field3.empty(); }},
      {tasks + "Task1=6|7|Software\\X|V\n",
       {"8:7 error|no predefined root"},
       [&](auto& r) { return !IsPredefinedRoot(TaskRoot(task(r))); }},
      {tasks + "Task1=9|C:\\Windows\\System32\\\n",
       {"8:7 error|the library's path"},
       [&](auto& r) { return task(r).field3.empty(); }},
      {tasks + "Task1=9|C:\\Windows\\System32\\|spell.dll\n",
       {"8:7 error|no full path, so the program passes the library over"},
       [&](auto& r) { return !LibraryPathIsFull(task(r)); }},
      {tasks + "Task1=10|txt\n",
       {"8:7 error|an association record needs"},
       [&](auto& r) { return task(r).field3.empty(); }},
      {tasks + "Task1=10|.txt|Editor\n",
       {"8:7 error|written with its dot"},
       [&](auto& r) {
         const auto steps = FileAssociationSteps(task(r).field2, task(r).field3, 0);
         return std::any_of(steps.begin(), steps.end(),
                            [](const RegistryStep& s) { return s.key.find("\\..txt") != std::string::npos; });
       }},
      {head + "[UserTask]\nNumber=200\n",
       {"7:8 error|200 is outside 0 to 127"},
       [](auto& r) { return r.tasks.empty(); }},
      {head + "[UserTask]\nNumber=-1\n", {"7:8 error|-1 is outside 0 to 127"}, [](auto& r) { return r.tasks.empty(); }},
      {head + "[UserTask]\nNumber=two\nTask1=1|C:\\x.txt\n",
       {"7:8 error|two is no number", "8:1 warning|beyond the 0 tasks"},
       [](auto& r) { return r.tasks.empty(); }},
      {head + "[StartMenu]\nProgram=Editor.lnk\n",
       {"7:9 error|is no full path, so no link is removed"},
       [](auto& r) { return !IsFullPath(r.settings.start_menu + "Editor.lnk"); }},
      // Warnings: what the program does as written, which is likely not meant.
      {head + "[File]\nf=x.dll\n",
       {"6:1 warning|unknown section, never read (did you mean [Files]?)"},
       [](auto& r) { return r.files.size() == 1; }},
      {"[Settings]\nProgName=Editor\nProgExe=editor.exe\nProgDri=C:\\x\n[Files]\nf1=editor.exe\n",
       {"4:1 warning|did you mean ProgDir?"},
       [](auto& r) { return r.settings.prog_dir == "\\"; }},
      {"[Settings]\nProgName=Editor\nProgName=Other\nProgExe=editor.exe\n[Files]\nf1=editor.exe\n",
       {"3:1 warning|given again; the one on line 2 counts"},
       [](auto& r) { return r.texts.program_name == "Editor"; }},
      {tasks + "Task1=6|2147483649|Software\\X|V\nTask2=1|data\\x.txt\n",
       {"9:1 warning|beyond the 1 tasks"},
       [](auto& r) { return r.tasks.size() == 1; }},
      {head + "[UserTask]\nNumber=2\nTask2=6|2147483649|Software\\X|V\n",
       {"7 warning|Task1: missing, a gap"},
       [](auto& r) { return r.tasks.size() == 1; }},
      {head + "[Dirs]\nd1=lib\nd2=lib\\sub\n",
       {"7:1 warning|lib comes before lib\\sub (line 8)"},
       [](auto& r) { return r.dirs[0] == "lib"; }},
      {head + "[Dirs]\nd1=lib\nd2=LIB\\\n",
       {"8:1 warning|names the folder of line 7 again"},
       [](auto& r) { return r.dirs.size() == 2; }},
      {head + "f2=lib\\\n",
       {"6:1 warning|names a folder, which a [Files] value never removes"},
       [](auto& r) { return r.files[1] == "lib\\"; }},
      {head + "f2=tools\\a.exe\n",
       {"6:1 warning|no [Dirs] value names its folder tools"},
       [](auto& r) { return r.dirs.empty(); }},
      {"[Settings]\nProgName=Editor\nProgExe=editor.exe\n[Files]\nf1=other.exe\n",
       {"3:9 warning|no [Files] value names editor.exe"},
       [](auto& r) { return r.files[0] != r.settings.prog_exe; }},
      {"[Settings]\nProgName=Editor\nProgExe=bin\\editor.exe\n[Files]\nf1=bin\\editor.exe\n[Dirs]\nd1=bin\n",
       {"3:9 warning|without MutexString the running-program check"},
       [](auto& r) { return r.settings.mutex_string.empty() && !ProcessNameCanMatch(r.settings.prog_exe); }},
      {"[Settings]\nProgExe=editor.exe\n[Files]\nf1=editor.exe\n",
       {"1 warning|ProgName: missing or empty"},
       [](auto& r) { return r.texts.program_name.empty(); }},
      {head + "[Language]\nReady=\n",
       {"7:1 warning|Ready: an empty text"},
       [](auto& r) { return r.texts[UiText::kReady].empty(); }},
      // A form English never takes is never shown; an empty extra form is the other form.
      {head + "[Language]\nEntriesFew=$N x\nEntriesMany=\n",
       {"7:1 warning|EntriesFew: counts in the language of Plural (en) never take this form"},
       [](auto& r) { return CountedText(r.texts, UiText::kEntries, 3) == "3 entries"; }},
      {head + "[Language]\nPlural=ru\nEntriesFew=$N x\n",
       {},
       [](auto& r) { return CountedText(r.texts, UiText::kEntries, 3) == "3 x"; }},
      {head + std::string("f2=a.dll\0f3=b.dll\n", 18),
       {"6:9 warning|a NUL byte"},
       [](auto& r) { return r.files.size() == 3; }},
      // Nothing found: the program does what was meant.
      {tasks + "Task1=6|2147483649|Software\\X\n", {}, [&](auto& r) { return task(r).field4.empty(); }},
      {bom + "[Settings]\nProgName=Editor\nProgName=\x80\nProgExe=editor.exe\n[Files]\nf1=editor.exe\n",
       {"3:1 warning|given again"},
       [](auto& r) { return r.texts.program_name == "Editor"; }},
      {"[Settings]\r\nProgName=Editor\r\rProgExe=editor.exe\r\n\r\n[Files]\r\nf1=editor.exe\r\nf2=lib\\caf\xE9.dll\r\n"
       "[Dirs]\r\nd1=lib\r\n",
       {},
       [](auto& r) { return r.files[1] == "lib\\caf\xC3\xA9.dll"; }},
  };
  for (const Row& row : rows) {
    const std::vector<std::string> found = Findings(row.file);
    EXPECT_EQ(found.size(), row.found.size()) << row.file << "\n" << testing::PrintToString(found);
    if (found.size() != row.found.size()) continue;
    for (size_t i = 0; i < found.size(); ++i) {
      const std::string& want = row.found[i];
      const size_t bar = want.find('|');
      EXPECT_EQ(found[i].substr(0, bar + 1), want.substr(0, bar) + " ") << row.file;
      EXPECT_NE(found[i].find(want.substr(bar + 1)), std::string::npos) << found[i] << "\n  wanted: " << want;
    }
    EXPECT_TRUE(row.program(ReadAsTheProgram(row.file))) << "the program does not do what the checker says:\n"
                                                         << row.file;
    // The checker's findings rest on reading every value as the program does.
    StageFile(SettingsPathFor(kOwn), row.file);
    EXPECT_EQ(FirstValueReadApart(row.file, StagedFiles(), SettingsPathFor(kOwn)), "") << row.file;
    ClearStagedFiles();
  }
}

TEST(AuthorNotes, AFileLargerThanTheProgramReadsIsOneError) {
  const std::vector<std::string> found = Findings(std::string(kLargestSettingsFile + 1, ';'));
  ASSERT_EQ(found.size(), 1u);
  EXPECT_NE(found[0].find("1 error the file is larger than 64 MiB"), std::string::npos);
}
