#include "driver/run_platform_win32.h"

#include "removal/file_system.h"
#include "removal/self_delete_batch.h"
#include "ui/message_box.h"

void Win32RunPlatform::EnterRemovingState() { window_.EnterRemovingState(); }
bool Win32RunPlatform::IsDeleteAllChecked() { return window_.IsDeleteAllChecked(); }
void Win32RunPlatform::ShowStatus(const std::string& text) { window_.Status().Show(text); }

void Win32RunPlatform::ShowMessage(const std::string& caption, const std::string& text, unsigned style) {
  ::ShowMessage(caption, text, style);
}

bool Win32RunPlatform::FileExists(const std::string& path) { return ::FileExists(path); }
bool Win32RunPlatform::DeletePlainFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }
bool Win32RunPlatform::IsDirectoryEmpty(const std::string& directory) { return ::IsDirectoryEmpty(directory); }

bool Win32RunPlatform::PurgeDirectory(const std::string& directory, const std::string& pattern, bool recursive,
                                      bool clear_attributes) {
  return ::PurgeDirectory(directory, pattern, recursive, clear_attributes);
}

bool Win32RunPlatform::DeleteRegistryValue(RegistryRoot root, const std::string& key, const std::string& value) {
  return ::DeleteRegistryValue(root, key, value);
}

bool Win32RunPlatform::DeleteRegistryKey(RegistryRoot root, const std::string& key) {
  return ::DeleteRegistryKey(root, key);
}

void Win32RunPlatform::StartSelfDeleteBatch(const std::string& own_directory) { ::StartSelfDeleteBatch(own_directory); }
