// Arbitrary bytes as uninstall.dat: every read of the settings reader, the
// settings and texts loaded from it, and the text operations on its values.
#include <cstddef>
#include <cstdint>
#include <string>

#include "input_file.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  InputFile input(bytes);

  SettingsFile file;
  file.Open(input, "C:\\App\\uninstall.dat");
  const char* groups[] = {"", "Settings", "Files", "Dirs", "Language", "\xE4", "[", "G"};
  for (const char* group : groups) {
    file.SelectGroup(group);
    const std::string value = file.ReadString("ProgExe", "-1");
    file.ReadNumber("Script", 0);
    file.ReadString("");
    if (file.ExamineKeys()) {
      while (file.NextKey()) {
        const std::string key_value = file.KeyValue();
        FieldOf(key_value, 2, "|");
        ParseDecimal(key_value);
        DirectoryOf(key_value);
        FileNameOf(key_value);
        ExtensionOf(key_value);
        UpperCase(LowerCase(key_value));
      }
    }
    ReplaceAll(value, "$Titel", value);
  }
  file.Close();

  ReadUninstallSettings(input, "C:\\App\\");
  LoadUiTexts(input, "C:\\App\\uninstall.dat");
  return 0;
}
