#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

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

TEST(MakeBatchDirectory, IsNewEachTimeUnguessableAndOnlyAdministratorsMayChangeIt) {
  TempTree tree;
  const std::string first = MakeBatchDirectory(tree.Path());
  const std::string second = MakeBatchDirectory(tree.Path());
  ASSERT_FALSE(first.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(first.size(), tree.Path().size() + 5 + 16 + 1);
  EXPECT_EQ(first.compare(0, tree.Path().size() + 5, tree.Path() + "~qmu-"), 0);
  EXPECT_EQ(MakeBatchDirectory(tree.Path() + "missing\\"), "");
  // Wine runs every program with an administrator's full rights; it keeps
  // no access rights of its own but turns them into the Linux ones, which
  // it reports back: the directory grants nothing to others, where one made
  // without rights of its own does.
  const auto rights = [](const std::string& directory) {
    char descriptor[4096];
    DWORD size = 0;
    char* text = nullptr;
    if (!GetFileSecurityA(directory.c_str(), DACL_SECURITY_INFORMATION, descriptor, sizeof(descriptor), &size) ||
        !ConvertSecurityDescriptorToStringSecurityDescriptorA(descriptor, SDDL_REVISION_1, DACL_SECURITY_INFORMATION,
                                                              &text, nullptr)) {
      return std::string("unreadable");
    }
    const std::string result = text;
    LocalFree(text);
    return result;
  };
  EXPECT_EQ(rights(first).find(";WD)"), std::string::npos) << rights(first);
  EXPECT_NE(rights(tree.MakeDir("plain")).find(";WD)"), std::string::npos) << "the test sees what Wine keeps";
}
