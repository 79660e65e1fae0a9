#include <gtest/gtest.h>
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "in_process_platform_win32.h"
#include "platform/owners_win32.h"
#include "removal/registry.h"
#include "removal/uninstall_entry.h"
#include "ui/confirmation_window_win32.h"

namespace {

const std::string kBase = "Software\\QuillmarnTests\\";

HKEY Root(RegistryRoot root) { return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root))); }

void SetValue(RegistryRoot root, const std::string& key, const std::string& name, const std::string& data) {
  RegistryKey opened;
  ASSERT_EQ(RegCreateKeyExA(Root(root), key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, opened.Receive(), nullptr),
            ERROR_SUCCESS);
  RegSetValueExA(opened.Get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                 static_cast<DWORD>(data.size() + 1));
}

bool KeyExists(RegistryRoot root, const std::string& key) {
  RegistryKey opened;
  return RegOpenKeyExA(Root(root), key.c_str(), 0, KEY_READ, opened.Receive()) == ERROR_SUCCESS;
}

bool ValueExists(RegistryRoot root, const std::string& key, const std::string& name) {
  RegistryKey opened;
  if (RegOpenKeyExA(Root(root), key.c_str(), 0, KEY_READ, opened.Receive()) != ERROR_SUCCESS) {
    return false;
  }
  return RegQueryValueExA(opened.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

// Removes what a test left below the test base, deepest first.
void Clean(RegistryRoot root, std::initializer_list<std::string> keys) {
  for (const std::string& key : keys) RegDeleteKeyA(Root(root), key.c_str());
}

}  // namespace

TEST(DeleteRegistryValue, DeletesNamedAndDefaultValues) {
  const std::string key = kBase + "Values";
  SetValue(kCurrentUser, key, "InstallDir", "C:\\App");
  SetValue(kCurrentUser, key, "", "default");
  SetValue(kCurrentUser, key, "Other", "stays");
  EXPECT_TRUE(DeleteRegistryValue(kCurrentUser, key, "InstallDir"));
  EXPECT_FALSE(ValueExists(kCurrentUser, key, "InstallDir"));
  EXPECT_FALSE(DeleteRegistryValue(kCurrentUser, key, "InstallDir")) << "already gone";
  EXPECT_TRUE(DeleteRegistryValue(kCurrentUser, key, ""));
  EXPECT_FALSE(ValueExists(kCurrentUser, key, ""));
  EXPECT_TRUE(ValueExists(kCurrentUser, key, "Other"));
  EXPECT_TRUE(DeleteRegistryKey(kCurrentUser, key));
  Clean(kCurrentUser, {kBase});
}

TEST(DeleteRegistryValue, OnAMissingKeyCreatesItWhichTheKeyDeletionRemoves) {
  const std::string key = kBase + "Missing\\Deeper";
  ASSERT_FALSE(KeyExists(kCurrentUser, key));
  EXPECT_FALSE(DeleteRegistryValue(kCurrentUser, key, "InstallDir"));
  EXPECT_TRUE(KeyExists(kCurrentUser, key));
  EXPECT_TRUE(DeleteRegistryKey(kCurrentUser, key));
  EXPECT_FALSE(KeyExists(kCurrentUser, key));
  EXPECT_TRUE(KeyExists(kCurrentUser, kBase + "Missing")) << "missing keys further up stay, empty";
  Clean(kCurrentUser, {kBase + "Missing", kBase});
}

TEST(DeleteRegistryKey, KeepsKeysWithSubkeysAndNeverARoot) {
  const std::string key = kBase + "Parent";
  SetValue(kCurrentUser, key, "Value", "v");
  SetValue(kCurrentUser, key + "\\Child", "Value", "v");
  EXPECT_FALSE(DeleteRegistryKey(kCurrentUser, key));
  EXPECT_TRUE(ValueExists(kCurrentUser, key, "Value"));
  EXPECT_TRUE(ValueExists(kCurrentUser, key + "\\Child", "Value"));
  EXPECT_TRUE(DeleteRegistryKey(kCurrentUser, key + "\\Child\\")) << "a trailing backslash is allowed";
  EXPECT_TRUE(DeleteRegistryKey(kCurrentUser, key));
  EXPECT_FALSE(DeleteRegistryKey(kCurrentUser, ""));
  EXPECT_FALSE(DeleteRegistryKey(kCurrentUser, "\\"));
  EXPECT_FALSE(DeleteRegistryKey(0x12345678u, key)) << "not a root";
  EXPECT_FALSE(DeleteRegistryValue(0x12345678u, key, "Value"));
  EXPECT_TRUE(KeyExists(kCurrentUser, "Software"));
  Clean(kCurrentUser, {kBase});
}

TEST(RemoveUninstallEntry, TakesTheSevenValuesAndTheKey) {
  const std::string name = "QuillmarnTest{7}";
  const std::string key = UninstallKeyPath(name);
  for (const char* value :
       {"DisplayName", "DisplayIcon", "Publisher", "URLInfoAbout", "HelpLink", "Contact", "UninstallString"}) {
    SetValue(kLocalMachine, key, value, "x");
  }
  SetValue(kLocalMachine, key, "DisplayVersion", "2.1");
  UiTexts texts;
  ConfirmationWindow window(texts);
  ASSERT_TRUE(window.Open());
  InProcessPlatform platform(window);
  RemoveUninstallEntry(name, platform);
  EXPECT_FALSE(KeyExists(kLocalMachine, key));
  char shown[512] = {};
  SendMessageA(window.Status().Handle(), SB_GETTEXTA, 0, reinterpret_cast<LPARAM>(shown));
  EXPECT_EQ(std::string(shown), "  Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + name);

  // With a subkey the key stays, with its other values, but the seven are gone.
  SetValue(kLocalMachine, key, "DisplayName", "x");
  SetValue(kLocalMachine, key, "DisplayVersion", "2.1");
  SetValue(kLocalMachine, key + "\\Sub", "v", "x");
  RemoveUninstallEntry(name, platform);
  EXPECT_FALSE(ValueExists(kLocalMachine, key, "DisplayName"));
  EXPECT_TRUE(ValueExists(kLocalMachine, key, "DisplayVersion"));
  Clean(kLocalMachine, {key + "\\Sub", key});

  // A name whose key does not exist leaves nothing behind.
  RemoveUninstallEntry("QuillmarnNoSuchEntry", platform);
  EXPECT_FALSE(KeyExists(kLocalMachine, UninstallKeyPath("QuillmarnNoSuchEntry")));
}
