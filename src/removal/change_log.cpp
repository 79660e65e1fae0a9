#include "removal/change_log.h"

#include "text/text.h"

std::string OutcomeText(uint32_t error) {
  switch (error) {
    case 0:
      return "removed";
    case 2:  // the file, key or value
    case 3:  // the path
      return "absent";
    case 5:
      return "access denied";
    case 32:  // shared without leave to delete
    case 33:
      return "in use";
    case 145:
      return "not empty";
    case 206:
      return "path too long";
    default:
      return "error " + DecimalText(static_cast<int32_t>(error));
  }
}

RemovalResult ResultOfError(uint32_t error) {
  switch (error) {
    case 2:  // the file, key or value
    case 3:  // the path
      return {Outcome::kAbsent, error};
    case 32:  // shared without leave to delete
    case 33:
      return {Outcome::kInUse, error};
    case 5:
      return {Outcome::kDenied, error};
    case 145:
      return {Outcome::kNotEmpty, error};
    default:
      return {Outcome::kFailed, error};
  }
}

std::string OutcomeWords(const EntryReport& report) {
  // A failure the platform gave no number for is still a failure.
  std::string words = report.outcome != Outcome::kFailed ? EnglishWords(report.outcome)
                      : report.error != 0                ? OutcomeText(report.error)
                                                         : std::string("failed");
  if (report.outcome == Outcome::kNotEmpty && report.held > 0) {
    AppendTexts(words, {", it holds ", DecimalText(static_cast<int32_t>(report.held)),
                        report.held == 1 ? " entry" : " entries"});
  }
  return words;
}

std::string ChangeLine(std::string_view subject, const EntryReport& report, bool told) {
  const std::string words = !told                                 ? OutcomeWords(report)
                            : report.outcome == Outcome::kRemoved ? "would be removed"
                            : report.outcome == Outcome::kAbsent  ? "absent"
                                                                  : "would stay, " + OutcomeWords(report);
  return JoinTexts({subject, ": ", words});
}

std::string EntryLine(const EntryReport& report, bool told) {
  return ChangeLine(JoinTexts({report.directory ? "directory " : "file ", report.path}), report, told);
}

std::string RootName(RegistryRoot root) {
  static constexpr const char* kNames[] = {"HKCR", "HKCU", "HKLM", "HKU", "", "HKCC"};
  if (IsPredefinedRoot(root)) return kNames[root - kClassesRoot];
  return DecimalText(static_cast<int32_t>(root));
}

namespace {

bool Logged(const RunPlatform& platform, std::string_view subject, const RemovalResult& result) {
  EntryReport report;
  report.outcome = result.outcome;
  report.error = result.error;
  platform.system.Log(ChangeLine(subject, report, platform.told));
  return result.outcome == Outcome::kRemoved;
}

}  // namespace

Outcome RemoveByPath(const RunPlatform& platform, const std::string& path, bool directory) {
  EntryReport report;
  report.path = path;
  report.directory = directory;
  const RemovalResult result = platform.files.RemoveAbsolute(path, directory);
  report.outcome = result.outcome;
  report.error = result.error;
  platform.system.Log(EntryLine(report, platform.told));
  return result.outcome;
}

bool DeleteValue(const RunPlatform& platform, RegistryRoot root, const std::string& key, const std::string& value) {
  return Logged(platform, JoinTexts({"registry value ", RootName(root), "\\", key, "|", value}),
                platform.registry.DeleteRegistryValue(root, key, value));
}

bool DeleteKey(const RunPlatform& platform, RegistryRoot root, const std::string& key) {
  return Logged(platform, JoinTexts({"registry key ", RootName(root), "\\", key}),
                platform.registry.DeleteRegistryKey(root, key));
}
