#include <gtest/gtest.h>

#include "removal/self_delete_batch.h"

namespace {

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

std::string Loop(const std::string& quoted_exe) {
  return Lines({"cd \\", "set /a qm_attempts=0", ":DeleteFile", "del " + quoted_exe,
                "if not exist " + quoted_exe + " goto RemoveDirectory", "set /a qm_attempts+=1",
                "if %qm_attempts% geq 60 goto RemoveDirectory", "ping -n 2 127.0.0.1 >nul", "goto DeleteFile",
                ":RemoveDirectory"});
}

}  // namespace

TEST(SelfDeleteBatch, StandsAtTheRootOfTheExecutablesDriveWhenThereIsOne) {
  EXPECT_EQ(DriveRootOf("D:\\Apps\\Tool\\uninstall.exe"), "D:\\");
  EXPECT_EQ(DriveRootOf("c:\\x.exe"), "c:\\");
  EXPECT_EQ(DriveRootOf("\\\\server\\share\\uninstall.exe"), "");
  EXPECT_EQ(DriveRootOf("1:\\x.exe"), "");
  EXPECT_EQ(DriveRootOf("C"), "");
  EXPECT_EQ(DriveRootOf(""), "");
}

TEST(SelfDeleteBatch, TheRetiredNameIsTheProcesssOwn) {
  EXPECT_EQ(RetiredExecutableName(4242), "~~uninst4242.tmp");
  EXPECT_NE(RetiredExecutableName(4242), RetiredExecutableName(4243));
}

TEST(SelfDeleteBatch, DeletesTheTargetThenTheDirectoryThenItself) {
  const std::string target = "D:\\Apps\\Tool\\~~uninst7.tmp";
  const std::string expected =
      Loop("\"D:\\Apps\\Tool\\~~uninst7.tmp\"") + Lines({"rd \"D:\\Apps\\Tool\"", "del \"D:\\~~uninst.bat\" & exit"});
  EXPECT_EQ(SelfDeleteBatchText(target, "D:\\Apps\\Tool\\", "D:\\~~uninst.bat"), expected);
  EXPECT_EQ(SelfDeleteBatchText(target, "D:\\Apps\\Tool", "D:\\~~uninst.bat"), expected)
      << "only one backslash is dropped, if any";
  EXPECT_EQ(SelfDeleteBatchText(target, "D:\\Apps\\Tool\\\\", "D:\\~~uninst.bat"),
            Loop("\"D:\\Apps\\Tool\\~~uninst7.tmp\"") +
                Lines({"rd \"D:\\Apps\\Tool\\\"", "del \"D:\\~~uninst.bat\" & exit"}));
}

TEST(SelfDeleteBatch, WithoutADirectoryOnlyTheTargetAndTheBatchAreNamed) {
  const std::string bat = "C:\\Users\\Ann Lee\\Temp\\~~uninst.bat";
  EXPECT_EQ(SelfDeleteBatchText("C:\\Users\\Ann Lee\\Temp\\~~uninst9.tmp", "", bat),
            Loop("\"C:\\Users\\Ann Lee\\Temp\\~~uninst9.tmp\"") + Lines({"del \"" + bat + "\" & exit"}));
}

TEST(SelfDeleteBatch, BlanksAreQuotedAndPercentSignsDoubled) {
  const std::string text = SelfDeleteBatchText("C:\\Program Files\\100% Tool\\uninstall.exe",
                                               "C:\\Program Files\\100% Tool\\", "C:\\%TEMP%\\~~uninst.bat");
  EXPECT_EQ(text, Loop("\"C:\\Program Files\\100%% Tool\\uninstall.exe\"") +
                      Lines({"rd \"C:\\Program Files\\100%% Tool\"", "del \"C:\\%%TEMP%%\\~~uninst.bat\" & exit"}));
}
