#include <gtest/gtest.h>

#include "removal/self_delete_batch.h"

namespace {

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string Loop(const std::string& quoted_exe) {
  return Lines({"@echo off", "set /a qm_attempts=0", ":DeleteFile", "del /f /q " + quoted_exe,
                "if not exist " + quoted_exe + " goto RemoveDirectory", "set /a qm_attempts+=1",
                "if %qm_attempts% geq 60 goto RemoveDirectory",
                "\"%SystemRoot%\\System32\\ping.exe\" -n 2 127.0.0.1 >nul", "goto DeleteFile", ":RemoveDirectory"});
}

// The batch and its directory go, also where cmd.exe holds its batch open.
const std::string kEnd =
    Lines({"rd /s /q \"%~dp0\" & if exist \"%~dp0\" start \"\" /b \"%SystemRoot%\\System32\\cmd.exe\" /d /q /c "
           "\"%SystemRoot%\\System32\\ping.exe -n 2 127.0.0.1 >nul & rd /s /q \"%~dp0\"\" & exit"});

}  // namespace

TEST(SelfDeleteBatch, NamesAreTheProcesssOwnAndTheDirectorysUnguessable) {
  EXPECT_EQ(RetiredExecutableName(4242), "~~uninst4242.tmp");
  EXPECT_NE(RetiredExecutableName(4242), RetiredExecutableName(4243));
  const uint8_t random[8] = {0x00, 0x1f, 0xa0, 0xff, 0x42, 0x07, 0x70, 0xc3};
  EXPECT_EQ(BatchDirectoryName(random), "~qmu-001fa0ff420770c3");
  EXPECT_EQ(BatchCommandLine("C:\\Users\\Ann Lee\\Temp\\~qmu-1\\~~uninst.bat"),
            "cmd.exe /d /q /c \"\"C:\\Users\\Ann Lee\\Temp\\~qmu-1\\~~uninst.bat\"\"");
  EXPECT_EQ(BatchDirectoryRights("S-1-5-21-1-2-3-1001"),
            "D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;S-1-5-21-1-2-3-1001)");
}

TEST(SelfDeleteBatch, ATargetBesideTheBatchIsNamedThroughTheBatchsOwnPlace) {
  EXPECT_EQ(SelfDeleteBatchText("~~uninst9.tmp", ""), Loop("\"%~dp0~~uninst9.tmp\"") + kEnd);
}

TEST(SelfDeleteBatch, DeletesTheTargetThenTheDirectoryThenItself) {
  const std::string target = "D:\\Apps\\Tool\\~~uninst7.tmp";
  const std::string expected = Loop("\"D:\\Apps\\Tool\\~~uninst7.tmp\"") + Lines({"rd \"D:\\Apps\\Tool\""}) + kEnd;
  EXPECT_EQ(SelfDeleteBatchText(target, "D:\\Apps\\Tool\\"), expected);
  EXPECT_EQ(SelfDeleteBatchText(target, "D:\\Apps\\Tool"), expected) << "only one backslash is dropped, if any";
  EXPECT_EQ(SelfDeleteBatchText(target, "D:\\Apps\\Tool\\\\"),
            Loop("\"D:\\Apps\\Tool\\~~uninst7.tmp\"") + Lines({"rd \"D:\\Apps\\Tool\\\""}) + kEnd);
}

TEST(SelfDeleteBatch, BlanksAreQuotedAndPercentSignsDoubled) {
  const std::string text =
      SelfDeleteBatchText("C:\\Program Files\\100% Tool\\uninstall.exe", "C:\\Program Files\\100% Tool\\");
  EXPECT_EQ(text, Loop("\"C:\\Program Files\\100%% Tool\\uninstall.exe\"") +
                      Lines({"rd \"C:\\Program Files\\100%% Tool\""}) + kEnd);
}
