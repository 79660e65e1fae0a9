#include <gtest/gtest.h>

#include "removal/self_delete_batch.h"

namespace {

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

const std::string kHome = "C:\\Users\\Tom & Anna\\Temp\\~qmu-001fa0ff420770c3\\";
const std::string kSystem = "C:\\Windows\\system32";

// Paths that a command processor would split, expand or escape, were they
// ever parsed: they reach the batch only through its environment.
SelfDeleteTarget OddTarget() {
  SelfDeleteTarget target;
  target.file = "C:\\Users\\Tom & Anna\\v & w ^x!\\App (1) %PATH%\\uninst & 1.exe";
  target.directory = "C:\\Users\\Tom & Anna\\v & w ^x!\\App (1) %PATH%\\";
  return target;
}

const std::string kLoopStart =
    Lines({"set /a qm_attempts=0", ":DeleteFile", "if not exist \"%QM_FILE%\" goto RemoveDirectory"});
const std::string kLoopEnd =
    Lines({"del /f /q \"%QM_FILE%\"", "if not exist \"%QM_FILE%\" goto RemoveDirectory", "set /a qm_attempts+=1",
           "if %qm_attempts% geq 60 goto RemoveDirectory", "C:\\Windows\\system32\\ping.exe -n 2 127.0.0.1 >nul",
           "goto DeleteFile", ":RemoveDirectory"});
// The batch and its home go, also where cmd.exe holds its batch open.
const std::string kEnd = Lines(
    {"rd /s /q ~qmu-001fa0ff420770c3 & if exist ~qmu-001fa0ff420770c3 start \"\" /b C:\\Windows\\system32\\cmd.exe /d "
     "/q /c \"C:\\Windows\\system32\\ping.exe -n 2 127.0.0.1 >nul & rd /s /q ~qmu-001fa0ff420770c3\" & exit"});

}  // namespace

TEST(SelfDeleteBatch, NamesPlacesAndRights) {
  EXPECT_EQ(RetiredExecutableName(4242), "~~uninst4242.tmp");
  EXPECT_NE(RetiredExecutableName(4242), RetiredExecutableName(4243));
  const uint8_t random[8] = {0x00, 0x1f, 0xa0, 0xff, 0x42, 0x07, 0x70, 0xc3};
  EXPECT_EQ(BatchDirectoryName(random), "~qmu-001fa0ff420770c3");
  EXPECT_EQ(BatchCommandLine(kHome), "cmd.exe /d /q /e:on /v:off /c ~qmu-001fa0ff420770c3\\~~uninst.bat");
  EXPECT_EQ(BatchDirectoryRights("S-1-5-21-1-2-3-1001"),
            "O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;S-1-5-21-1-2-3-1001)");
  // The user's temporary directory is the user's programs' to change: an
  // administrator's batch never stands there.
  EXPECT_EQ(BatchParent(false, "C:\\Users\\Tom & Anna\\Temp\\", "C:\\Windows"), "C:\\Users\\Tom & Anna\\Temp\\");
  EXPECT_EQ(BatchParent(true, "C:\\Users\\Tom & Anna\\Temp\\", "C:\\Windows"), "C:\\Windows\\Temp\\");
  EXPECT_EQ(BatchParent(true, "C:\\Users\\Tom\\Temp\\", ""), "");
}

TEST(SelfDeleteBatch, NoPathOfTheInstallationIsEverPartOfTheText) {
  const SelfDeleteTarget target = OddTarget();
  EXPECT_EQ(SelfDeleteBatchText(target, kSystem, kHome),
            Lines({"@echo off"}) + kLoopStart + kLoopEnd + Lines({"rd \"%QM_DIRECTORY%\""}) + kEnd);
  SelfDeleteTarget beside_the_batch;
  beside_the_batch.file = "C:\\Users\\Tom & Anna\\Temp\\~qmu-1\\~~uninst9.tmp";
  EXPECT_EQ(SelfDeleteBatchText(beside_the_batch, kSystem, kHome), Lines({"@echo off"}) + kLoopStart + kLoopEnd + kEnd);
  EXPECT_EQ(SelfDeleteEnvironment(target, "C:\\Windows"),
            std::string("QM_FILE=") + target.file + '\0' +
                "QM_DIRECTORY=" + target.directory.substr(0, target.directory.size() - 1) + '\0' +
                "SystemRoot=C:\\Windows" + '\0' + '\0');
  // What the batch would have to spell unquoted is refused, not escaped.
  for (const std::string& odd : {std::string("C:\\WIN DOWS\\system32"), std::string("C:\\W&\\system32"),
                                 std::string("C:\\%x%\\system32"), std::string("C:\\\xC9\\system32"), std::string()}) {
    EXPECT_EQ(SelfDeleteBatchText(target, odd, kHome), "") << odd;
  }
  EXPECT_EQ(SelfDeleteBatchText(target, kSystem, "C:\\Temp\\~qmu-1 & x\\"), "");
}

TEST(SelfDeleteBatch, AFileLeftAtTheProgramsPathGoesOnlyWhileItIsStillThatFile) {
  SelfDeleteTarget target = OddTarget();
  target.guard_size = 65024;
  target.settings = "C:\\Users\\Tom & Anna\\v & w ^x!\\App (1) %PATH%\\uninstall.dat";
  EXPECT_EQ(SelfDeleteBatchText(target, kSystem, kHome),
            Lines({"@echo off", "for %%F in (\"%QM_FILE%\") do set \"qm_time=%%~tF\""}) + kLoopStart +
                Lines({"if exist \"%QM_SETTINGS%\" goto RemoveDirectory", "set qm_same=",
                       "for %%F in (\"%QM_FILE%\") do if \"%%~zF %%~tF\"==\"65024 %qm_time%\" set qm_same=1",
                       "if not defined qm_same goto RemoveDirectory"}) +
                kLoopEnd + Lines({"rd \"%QM_DIRECTORY%\""}) + kEnd);
  EXPECT_NE(SelfDeleteEnvironment(target, "C:\\Windows").find(std::string("QM_SETTINGS=") + target.settings + '\0'),
            std::string::npos);
}
