#include "driver/plan_platform.h"

#include <algorithm>

#include "external/program_runner.h"
#include "removal/change_log.h"
#include "removal/registry.h"
#include "text/text.h"

namespace {

std::string ParentName(const std::string& key_name) {
  const size_t slash = key_name.rfind('\\');
  return slash == std::string::npos ? std::string() : key_name.substr(0, slash);
}

// The names whose parent is that key.
uint32_t ChildrenOf(const std::vector<std::string>& keys, const std::string& key_name) {
  uint32_t children = 0;
  for (const std::string& key : keys) children += ParentName(key) == key_name ? 1 : 0;
  return children;
}

}  // namespace

std::string PlanRegistry::KeyName(RegistryRoot root, const std::string& key) const {
  std::string path = WithoutTrailingBackslashes(key);
  std::string below;
  for (;;) {
    const std::string system_name = system_.KeyPathOf(root, path);
    if (!system_name.empty()) return UpperCase(system_name + below);
    if (path.empty()) break;
    const size_t slash = path.rfind('\\');
    below = (slash == std::string::npos ? "\\" + path : path.substr(slash)) + below;
    path = slash == std::string::npos ? std::string() : path.substr(0, slash);
  }
  return UpperCase(JoinTexts({RootName(root), "\\", WithoutTrailingBackslashes(key)}));
}

bool PlanRegistry::Names::Has(const std::string& name) const {
  return std::find(names_.begin(), names_.end(), name) != names_.end();
}

void PlanRegistry::Names::Add(const std::string& name) {
  if (!Has(name)) names_.push_back(name);
}

bool PlanRegistry::Names::Remove(const std::string& name) {
  const auto found = std::find(names_.begin(), names_.end(), name);
  if (found == names_.end()) return false;
  names_.erase(found);
  return true;
}

bool PlanRegistry::Deleted(const std::string& key_name) const {
  for (std::string key = key_name; !key.empty(); key = ParentName(key)) {
    if (deleted_keys_.Has(key)) return true;
  }
  return false;
}

bool PlanRegistry::ReadRegistryValue(RegistryRoot root, const std::string& key, const std::string& value,
                                     std::string& text) {
  const std::string name = KeyName(root, key);
  text.clear();
  // A key the plan made holds no value yet.
  if (created_keys_.Has(name) || Deleted(name) || deleted_values_.Has(name + "|" + UpperCase(value))) {
    return false;
  }
  return system_.ReadRegistryValue(root, key, value, text);
}

KeyHolds PlanRegistry::RegistryKeyHolds(RegistryRoot root, const std::string& key) {
  const std::string name = KeyName(root, key);
  // A key made again after it was deleted is there, and holds only what
  // the plan made below it.
  const bool created = created_keys_.Has(name);
  if (!created && Deleted(name)) return KeyHolds();
  KeyHolds holds = created ? KeyHolds{true, 0, 0} : system_.RegistryKeyHolds(root, key);
  uint32_t values = 0;
  for (const std::string& deleted : deleted_values_.All())
    values += deleted.compare(0, name.size() + 1, name + "|") == 0;
  holds.values -= std::min(holds.values, values);
  if (!created) holds.subkeys -= std::min(holds.subkeys, ChildrenOf(deleted_keys_.All(), name));
  holds.subkeys += ChildrenOf(created_keys_.All(), name);
  return holds;
}

bool PlanRegistry::RegistryAllows(RegistryRoot root, const std::string& key, RegistryChange change) {
  // A key the run would have made is its own to change.
  return created_keys_.Has(KeyName(root, key)) || system_.RegistryAllows(root, key, change);
}

void PlanRegistry::CreateOnTheWay(RegistryRoot root, const std::string& key) {
  // The run opens the value's key by making it, with every key missing above it.
  std::string missing = WithoutTrailingBackslashes(key);
  std::vector<std::string> made;
  while (!missing.empty() && !RegistryKeyHolds(root, missing).exists) {
    made.push_back(missing);
    const size_t slash = missing.rfind('\\');
    missing = slash == std::string::npos ? std::string() : missing.substr(0, slash);
  }
  if (made.empty()) return;
  EntryReport report;
  const bool allowed = missing.empty() || RegistryAllows(root, missing, RegistryChange::kSubkey);
  report.outcome = allowed ? Outcome::kRemoved : Outcome::kDenied;
  for (auto it = made.rbegin(); it != made.rend(); ++it) {
    const std::string subject = JoinTexts({"registry key ", RootName(root), "\\", *it});
    log_.Log(allowed ? subject + ": would be made on the way, empty" : ChangeLine(subject, report, true));
    if (!allowed) break;
    created_keys_.Add(KeyName(root, *it));
  }
}

RemovalResult PlanRegistry::DeleteRegistryValue(RegistryRoot root, const std::string& key, const std::string& value) {
  if (!IsPredefinedRoot(root)) return {Outcome::kAbsent, 0};
  if (RegistryRefusesPath(key)) return {Outcome::kFailed, kBadPathname};
  CreateOnTheWay(root, key);
  std::string text;
  const bool there = ReadRegistryValue(root, key, value, text);
  const Outcome outcome = !there                                               ? Outcome::kAbsent
                          : !RegistryAllows(root, key, RegistryChange::kValue) ? Outcome::kDenied
                                                                               : Outcome::kRemoved;
  if (outcome == Outcome::kRemoved) deleted_values_.Add(KeyName(root, key) + "|" + UpperCase(value));
  return {outcome, 0};
}

RemovalResult PlanRegistry::DeleteRegistryKey(RegistryRoot root, const std::string& key) {
  // A key with subkeys is never deleted.
  if (RegistryRefusesPath(key)) return {Outcome::kFailed, kBadPathname};
  const std::string name = KeyName(root, key);
  const KeyHolds holds = RegistryKeyHolds(root, WithoutTrailingBackslashes(key));
  const Outcome outcome = !holds.exists                                      ? Outcome::kAbsent
                          : holds.subkeys > 0                                ? Outcome::kNotEmpty
                          : !RegistryAllows(root, key, RegistryChange::kKey) ? Outcome::kDenied
                                                                             : Outcome::kRemoved;
  if (outcome == Outcome::kRemoved && !created_keys_.Remove(name)) deleted_keys_.Add(name);
  return {outcome, 0};
}

ProgramOutcome PlanProcesses::RunProgram(const std::string& program, const std::string&, const std::string&,
                                         const WaitRule& rule) {
  // A document is opened as the run would open it: through the shell, or
  // not a program, for the machine's class to open.
  ProgramOutcome outcome{true, 0};
  if (rule.documents == DocumentOpening::kMachineClasses && !NamesAProgram(program)) {
    outcome.started = false;
    outcome.not_a_program = true;
  }
  return outcome;
}

ScriptOutcome PlanProcesses::RunScript(const std::string&, const std::string&, bool, uint32_t) { return {}; }
