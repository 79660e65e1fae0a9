// Arbitrary bytes through the builders that take outside text: task records
// and their association steps, the script text, the batch text, and the
// text operations on all of them.
#include <cstddef>
#include <cstdint>
#include <string>

#include "driver/command_line.h"
#include "driver/user_tasks.h"
#include "external/program_runner.h"
#include "external/running_program.h"
#include "external/uninstall_script.h"
#include "removal/file_association.h"
#include "removal/file_removal.h"
#include "removal/self_delete_batch.h"
#include "settings/settings_file.h"
#include "text/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const size_t cut = size / 2;
  const std::string first = input.substr(0, cut);
  const std::string second = input.substr(cut);

  const TaskRecord task = ParseTaskRecord(input);
  TaskRoot(task);
  TaskCount(ParseDecimal(input));
  for (const uint32_t version : {0u, 0x00FF0000u}) FileAssociationSteps(task.field2, task.field3, version);

  UninstallScriptText("Uninstall.vbs", input, first, second, input);
  UninstallScriptText("Uninstall.js", input, first, second, input);
  SelfDeleteTarget target{first, second, static_cast<uint32_t>(input.size() % 2 ? size : 0), second};
  const std::string batch = SelfDeleteBatchText(target, first, second);
  // Every line of the batch ends in CR LF, and no byte of a path it is
  // given beyond the plain ones it may spell ever reaches its text.
  if (!batch.empty() && batch.compare(batch.size() - 2, 2, "\r\n") != 0) __builtin_trap();
  for (const char c : batch) {
    if (static_cast<unsigned char>(c) > 126 || c == '!' || c == '^') __builtin_trap();
  }
  SelfDeleteEnvironment(target, input);
  // Every program a command may start is a part of the command.
  for (const std::string& candidate : CommandProgramCandidates(input)) {
    if (candidate.empty() || input.find(candidate) == std::string::npos) __builtin_trap();
  }
  if (IconFile(input).size() > input.size()) __builtin_trap();
  if (Utf16Units(input) > input.size()) __builtin_trap();

  CommandLineFor(first, second);
  // Every switch is read from the arguments the splitting gives.
  const CommandLine line = ParseCommandLine(input);
  if (line.log && !line.log_path.empty() && SplitArguments(input).empty()) __builtin_trap();
  ShellDirectoryFor(first, second);
  RunningProgramMessage(input);
  // Whatever the value, an accepted path names entries below the directory,
  // one part between single backslashes each.
  std::string relative;
  if (RelativePathBelow(input, relative)) {
    const std::string parts = "\\" + relative + "\\";
    if (relative.find('/') != std::string::npos || (!relative.empty() && parts.find("\\\\") != std::string::npos) ||
        parts.find(".\\") != std::string::npos) {
      __builtin_trap();
    }
  }
  FieldOf(input, static_cast<int>(size % 7) - 1, second);
  ReplaceAll(input, first.empty() ? "x" : first, second);
  LeftBytes(input, static_cast<int>(size) - 3);
  RightBytes(input, static_cast<int>(cut));
  TrimBlanks(input);
  DirectoryOf(input);
  FileNameOf(input);
  ExtensionOf(input);
  DecimalText(ParseDecimal(input));
  return 0;
}
