#include <gtest/gtest.h>
#include <windows.h>

#include "removal/self_delete_batch.h"
#include "temp_tree_win32.h"

TEST(WriteSelfDeleteBatch, NeverReusesAFileThatWasThere) {
  TempTree tree;
  const std::string stale = std::string(10000, 'x') + "\r\necho stale\r\n";
  const std::string bat = tree.Write("~~uninst.bat", stale);
  EXPECT_FALSE(WriteSelfDeleteBatch(bat, SelfDeleteBatchText("C:\\App\\uninstall.exe", "C:\\App\\")));
  EXPECT_EQ(ReadWholeFile(bat), stale) << "nor changes it";
  const std::string text = SelfDeleteBatchText("~~uninst1.tmp", "");
  ASSERT_TRUE(WriteSelfDeleteBatch(tree.Path() + "new.bat", text));
  EXPECT_EQ(ReadWholeFile(tree.Path() + "new.bat"), text);
}

TEST(WriteSelfDeleteBatch, WritesNothingWhereItCannot) {
  TempTree tree;
  EXPECT_FALSE(WriteSelfDeleteBatch(tree.Path() + "missing\\~~uninst.bat", "exit\r\n"));
  EXPECT_FALSE(PathExists(tree.Path() + "missing"));
  EXPECT_FALSE(WriteSelfDeleteBatch("", "exit\r\n"));
}

TEST(WriteSelfDeleteBatch, WritesWhatCmdReadsAndNothingItWouldMisread) {
  // cmd.exe reads batch files in the OEM code page: the ANSI bytes of
  // "\xC9diteur" must arrive as that page's bytes for the same letters.
  ASSERT_EQ(GetACP(), 1252u);
  ASSERT_EQ(GetOEMCP(), 437u);
  TempTree tree;
  const std::string bat = tree.Path() + "~~uninst.bat";
  ASSERT_TRUE(WriteSelfDeleteBatch(bat,
                                   "rd \"C:\\\xC9"
                                   "diteur\"\r\n"));
  EXPECT_EQ(ReadWholeFile(bat),
            "rd \"C:\\\x90"
            "diteur\"\r\n");
  // The page has no euro sign, and would only approximate an S with caron:
  // either would name another directory, so no batch is left.
  DeleteFileA(bat.c_str());
  for (const char* name : {"C:\\\x80",
                           "C:\\\x8A"
                           "diteur"}) {
    EXPECT_FALSE(WriteSelfDeleteBatch(bat, std::string("rd \"") + name + "\"\r\n")) << name;
    EXPECT_FALSE(PathExists(bat));
  }
}
