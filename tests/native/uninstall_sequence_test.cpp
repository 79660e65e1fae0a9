#include <gtest/gtest.h>

#include "driver/uninstall_sequence.h"

TEST(OwnDirectory, IsTheExecutablesDirectoryUnlessItIsTheDevelopmentOne) {
  EXPECT_EQ(ChooseOwnDirectory("C:\\App\\uninstall.exe", "", "C:\\Work"), "C:\\App\\");
  EXPECT_EQ(ChooseOwnDirectory("C:\\App\\uninstall.exe", "C:\\Dev\\", "C:\\Work"), "C:\\App\\");
  EXPECT_EQ(ChooseOwnDirectory("C:\\Dev\\uninstall.exe", "C:\\Dev\\", "C:\\Work"), "C:\\Work\\");
  EXPECT_EQ(ChooseOwnDirectory("C:\\Dev\\uninstall.exe", "C:\\Dev\\", "C:\\"), "C:\\");
  // The comparison is exact: another spelling is not the development directory.
  EXPECT_EQ(ChooseOwnDirectory("c:\\dev\\uninstall.exe", "C:\\Dev\\", "C:\\Work"), "c:\\dev\\");
  EXPECT_EQ(ChooseOwnDirectory("D:\\uninstall.exe", "", "C:\\Work"), "D:\\");
}

TEST(MissingSettingsBox, NamesThePathTriedInFixedEnglish) {
  const MessageText box = MissingSettingsMessage("C:\\App\\uninstall.dat");
  EXPECT_EQ(box.caption, " Quillmarn - Error");
  EXPECT_EQ(box.text, "Could not find 'uninstall.dat':\nC:\\App\\uninstall.dat");
  EXPECT_EQ(box.style, 0x10u);
}
