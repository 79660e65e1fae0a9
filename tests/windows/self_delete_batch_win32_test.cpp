#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <sddl.h>

#include "platform/paths_win32.h"
#include "removal/self_delete_batch.h"
#include "temp_tree_win32.h"

namespace {

bool WaitToVanish(const std::string& path) {
  for (int i = 0; i < 300 && PathExists(path); ++i) Sleep(50);
  return !PathExists(path);
}

}  // namespace

TEST(WriteSelfDeleteBatch, NeverReusesAFileThatWasThereAndWritesNothingWhereItCannot) {
  TempTree tree;
  const std::string stale = std::string(10000, 'x') + "\r\necho stale\r\n";
  const std::string bat = tree.Write("~~uninst.bat", stale);
  EXPECT_FALSE(WriteSelfDeleteBatch(bat, "exit\r\n"));
  EXPECT_EQ(ReadWholeFile(bat), stale) << "nor changes it";
  ASSERT_TRUE(WriteSelfDeleteBatch(tree.Path() + "new.bat", "exit\r\n"));
  EXPECT_EQ(ReadWholeFile(tree.Path() + "new.bat"), "exit\r\n");
  EXPECT_FALSE(WriteSelfDeleteBatch(tree.Path() + "missing\\~~uninst.bat", "exit\r\n"));
  EXPECT_FALSE(PathExists(tree.Path() + "missing"));
  EXPECT_FALSE(WriteSelfDeleteBatch("", "exit\r\n"));
  EXPECT_FALSE(WriteSelfDeleteBatch(tree.Path() + "empty.bat", "")) << "a batch that could not be formed";
  EXPECT_FALSE(PathExists(tree.Path() + "empty.bat"));
}

// The real cmd.exe, with its home in a temporary directory whose path holds
// what a command processor splits, escapes or expands, beside a folder of
// the user's whose name is the part before the "&"; the file it deletes in
// a directory of such a name too. (Wine's cmd.exe expands a percent sign in
// a variable's value once more, which Windows never does: the paths handed
// over hold none here.)
TEST(StartBatch, RunsInAnyTemporaryDirectoryAndTakesExactlyItsOwn) {
  TempTree tree;
  const std::string user = tree.MakeDir("v");
  tree.Write("v\\letter.doc", "yours");
  const std::string parent = tree.MakeDir("v & w ^x! (1) %PATH%") + "\\";
  const std::string own = tree.MakeDir("v & App ^(2)!") + "\\";
  const std::string home = MakeBatchDirectory(parent, false);
  ASSERT_FALSE(home.empty());
  SelfDeleteTarget target;
  target.file = tree.Write("v & App ^(2)!\\uninst ^1!.exe", "MZ");
  SetFileAttributesA(target.file.c_str(), FILE_ATTRIBUTE_READONLY);
  target.directory = own;
  ASSERT_TRUE(WriteSelfDeleteBatch(home + kSelfDeleteBatchName, SelfDeleteBatchText(target, SystemDirectory(), home)));
  ASSERT_TRUE(StartBatch(home, SelfDeleteEnvironment(target, WindowsDirectory())));
  EXPECT_TRUE(WaitToVanish(home));
  EXPECT_FALSE(PathExists(target.file));
  EXPECT_FALSE(PathExists(own));
  EXPECT_EQ(ReadWholeFile(user + "\\letter.doc"), "yours");
  EXPECT_TRUE(PathExists(parent));
}

TEST(MakeBatchDirectory, IsNewEachTimeUnguessableAndOnlyAdministratorsMayChangeIt) {
  TempTree tree;
  const std::string first = MakeBatchDirectory(tree.Path(), true);
  const std::string second = MakeBatchDirectory(tree.Path(), true);
  ASSERT_FALSE(first.empty());
  EXPECT_NE(first, second);
  EXPECT_EQ(first.size(), tree.Path().size() + 5 + 16 + 1);
  EXPECT_EQ(first.compare(0, tree.Path().size() + 5, tree.Path() + "~qmu-"), 0);
  EXPECT_EQ(MakeBatchDirectory(tree.Path() + "missing\\", true), "");
  // Wine keeps no access rights of its own but turns them into the Linux
  // ones, which it reports back: the directory grants nothing to others,
  // where one made without rights of its own does.
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
  EXPECT_NE(rights(MakeBatchDirectory(tree.Path(), false)).find(";WD)"), std::string::npos)
      << "a run without elevation keeps what its temporary directory gives";
}
