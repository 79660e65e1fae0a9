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

TEST(SelfDeleteBatch, LivesAtTheRootOfTheExecutablesDrive) {
  EXPECT_EQ(SelfDeleteBatchPath("D:\\Apps\\Tool\\uninstall.exe"), "D:\\~~uninst.bat");
  EXPECT_EQ(SelfDeleteBatchPath("c:\\x.exe"), "c:\\~~uninst.bat");
  EXPECT_EQ(SelfDeleteBatchPath("\\\\server\\share\\uninstall.exe"), "");
  EXPECT_EQ(SelfDeleteBatchPath(""), "");
}

TEST(SelfDeleteBatch, DeletesTheExecutableThenTheDirectoryThenItself) {
  const std::string exe = "D:\\Apps\\Tool\\uninstall.exe";
  const std::string expected =
      Loop("\"D:\\Apps\\Tool\\uninstall.exe\"") + Lines({"rd \"D:\\Apps\\Tool\"", "del D:\\~~uninst.bat & exit"});
  EXPECT_EQ(SelfDeleteBatchText(exe, "D:\\Apps\\Tool\\"), expected);
  EXPECT_EQ(SelfDeleteBatchText(exe, "D:\\Apps\\Tool"), expected) << "only one backslash is dropped, if any";
  EXPECT_EQ(
      SelfDeleteBatchText(exe, "D:\\Apps\\Tool\\\\"),
      Loop("\"D:\\Apps\\Tool\\uninstall.exe\"") + Lines({"rd \"D:\\Apps\\Tool\\\"", "del D:\\~~uninst.bat & exit"}));
}

TEST(SelfDeleteBatch, AnEmptyDirectoryLeavesOutTheDirectoryLine) {
  EXPECT_EQ(SelfDeleteBatchText("C:\\u.exe", ""), Loop("\"C:\\u.exe\"") + Lines({"del C:\\~~uninst.bat & exit"}));
}

TEST(SelfDeleteBatch, BlanksAreQuotedAndPercentSignsDoubled) {
  const std::string text =
      SelfDeleteBatchText("C:\\Program Files\\100% Tool\\uninstall.exe", "C:\\Program Files\\100% Tool\\");
  EXPECT_EQ(text, Loop("\"C:\\Program Files\\100%% Tool\\uninstall.exe\"") +
                      Lines({"rd \"C:\\Program Files\\100%% Tool\"", "del C:\\~~uninst.bat & exit"}));
  EXPECT_NE(SelfDeleteBatchText("C:\\%PATH%\\u.exe", "C:\\%PATH%\\").find("del \"C:\\%%PATH%%\\u.exe\""),
            std::string::npos);
}
