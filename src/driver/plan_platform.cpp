#include "driver/plan_platform.h"

#include <algorithm>

#include "driver/run_log.h"
#include "text/text.h"

bool PlanPlatform::Told(Outcome outcome, const char* what, RegistryRoot root, const std::string& key,
                        const std::string& value) {
  EntryReport report;
  report.outcome = outcome;
  Log(PlanLine(JoinTexts({what, RootName(root), "\\", key, value}), report));
  return outcome == Outcome::kRemoved;
}

namespace {

// A key as the plan remembers the values it would have deleted from it.
std::string KeyName(RegistryRoot root, const std::string& key) {
  return UpperCase(JoinTexts({RootName(root), "\\", WithoutTrailingBackslashes(key), "|"}));
}

}  // namespace

bool PlanPlatform::DeleteRegistryValue(RegistryRoot root, const std::string& key, const std::string& value) {
  std::string text;
  const bool there = ReadRegistryValue(root, key, value, text);
  if (there) deleted_values_.push_back(KeyName(root, key));
  return Told(there ? Outcome::kRemoved : Outcome::kAbsent, "registry value ", root, key, "|" + value);
}

KeyHolds PlanPlatform::RegistryKeyHolds(RegistryRoot root, const std::string& key) {
  KeyHolds holds = system_.RegistryKeyHolds(root, key);
  const auto deleted =
      static_cast<uint32_t>(std::count(deleted_values_.begin(), deleted_values_.end(), KeyName(root, key)));
  holds.values -= std::min(holds.values, deleted);
  return holds;
}

bool PlanPlatform::DeleteRegistryKey(RegistryRoot root, const std::string& key) {
  // A key with subkeys is never deleted.
  const KeyHolds holds = RegistryKeyHolds(root, WithoutTrailingBackslashes(key));
  return Told(!holds.exists       ? Outcome::kAbsent
              : holds.subkeys > 0 ? Outcome::kNotEmpty
                                  : Outcome::kRemoved,
              "registry key ", root, key, std::string());
}

void PlanPlatform::StartSelfDeleteBatch(const std::string& own_directory) {
  Log(JoinTexts(
      {"self-deleting batch: would remove ", ModulePath(),
       own_directory.empty() ? std::string_view() : ", then the directory when it is empty: ", own_directory}));
}

ProgramOutcome PlanPlatform::RunProgram(const std::string& program, const std::string& parameters, const std::string&,
                                        const WaitRule&) {
  Log(JoinTexts({"program ", program, " ", parameters, ": would run"}));
  return {true, 0};
}

ScriptOutcome PlanPlatform::RunScript(const std::string& language, const std::string&, bool, uint32_t) {
  Log(JoinTexts({language, " script: would run"}));
  return {};
}
