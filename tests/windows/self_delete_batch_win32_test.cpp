#include <gtest/gtest.h>
#include <windows.h>

#include "removal/self_delete_batch.h"
#include "temp_tree_win32.h"

TEST(WriteSelfDeleteBatch, ReplacesAStaleBatchWhole) {
  TempTree tree;
  const std::string bat = tree.Write("~~uninst.bat", std::string(10000, 'x') + "\r\necho stale\r\n");
  const std::string text = SelfDeleteBatchText("C:\\App\\uninstall.exe", "C:\\App\\");
  ASSERT_TRUE(WriteSelfDeleteBatch(bat, text));
  EXPECT_EQ(ReadWholeFile(bat), text);
}

TEST(WriteSelfDeleteBatch, WritesNothingWhereItCannot) {
  TempTree tree;
  EXPECT_FALSE(WriteSelfDeleteBatch(tree.Path() + "missing\\~~uninst.bat", "exit\r\n"));
  EXPECT_FALSE(PathExists(tree.Path() + "missing"));
  EXPECT_FALSE(WriteSelfDeleteBatch("", "exit\r\n"));
}
