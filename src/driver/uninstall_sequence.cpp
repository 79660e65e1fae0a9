#include "driver/uninstall_sequence.h"

#include "text/text.h"
#include "ui/message_box.h"

std::string ChooseOwnDirectory(const std::string& module_path, const std::string& development_directory,
                               const std::string& current_directory) {
  const std::string own = DirectoryOf(module_path);
  if (development_directory.empty() || !TextEquals(own, development_directory)) return own;
  if (RightBytes(current_directory, 1) == "\\") return current_directory;
  return current_directory + "\\";
}

MessageText MissingSettingsMessage(const std::string& settings_path) {
  return {" Quillmarn - Error", "Could not find 'uninstall.dat':\n" + settings_path, kErrorBoxStyle};
}
