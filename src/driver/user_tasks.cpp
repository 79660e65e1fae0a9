#include "driver/user_tasks.h"

#include "removal/change_log.h"
#include "removal/file_association.h"
#include "settings/settings_file.h"
#include "text/text.h"

namespace {

constexpr int kRegistryEntry = 6;
constexpr int kLibrary = 9;
constexpr int kFileAssociation = 10;

void UndoRegistryEntry(const TaskRecord& task, const RunPlatform& platform) {
  platform.window.ShowStatus(StatusText("...\\" + task.field3 + "\\" + task.field4));
  DeleteValue(platform, TaskRoot(task), task.field3, task.field4);
  // Only a key left empty goes: another program's values in it stay.
  const KeyHolds left = platform.registry.RegistryKeyHolds(TaskRoot(task), task.field3);
  if (left.exists && left.values == 0 && left.subkeys == 0) DeleteKey(platform, TaskRoot(task), task.field3);
}

void UnregisterLibrary(const TaskRecord& task, UninstallRun& run, const RunPlatform& platform) {
  // regsvr32 would look for a library without a full path in the system's
  // folder, where it is some other program's.
  if (!LibraryPathIsFull(task)) {
    platform.system.Log(JoinTexts({"library ", task.field3, ": passed over, it is no full path"}));
    return;
  }
  platform.window.ShowStatus(StatusText(task.field3));
  // The system's own regsvr32, whatever folder the record names, started in
  // the library's folder, where a library that loads a sibling late finds
  // it; the library quoted, so that a path with blanks reaches it whole.
  const std::string system = WithTrailingBackslash(platform.system.SystemDirectory());
  const std::string folder = DirectoryOf(task.field3);
  RunHookProgram(run, platform, ProgramKind::kLibrary, system + "regsvr32.exe", "/S /U \"" + task.field3 + "\"",
                 folder.empty() ? system : folder);
}

// The file a command or icon names, made full as the platform makes it:
// "..", forward slashes and doubled separators resolved. Empty where it
// names no folder, which the platform would search for.
std::string FullFileNamed(const std::string& path, const RunPlatform& platform) {
  if (path.find_first_of("\\/:") == std::string::npos) return std::string();
  const std::string full = platform.system.FullPath(path);
  return FileNameOf(full).empty() ? std::string() : full;
}

// The program a command starts, as the platform would find it.
std::string ProgramStartedBy(const std::string& command, const RunPlatform& platform) {
  return FullFileNamed(ProgramOfCommand(command, platform.files).program, platform);
}

enum class ClassOwner : uint8_t { kNone, kOurs, kAnother };

// The extension's auto_file class, which Explorer may have given to another
// program since: ours only while what it would start, or without an open
// command the icon it shows, lies in the own directory, by identity.
ClassOwner AutoFileClassOwner(const std::string& extension, const std::string& own, const RunPlatform& platform) {
  const std::string name = AutoFileClass(extension);
  std::string command, icon;
  const bool opens = platform.registry.ReadRegistryValue(kClassesRoot, name + kOpenCommand, "", command);
  if (!opens && !platform.registry.RegistryKeyHolds(kClassesRoot, name).exists) return ClassOwner::kNone;
  const bool shows = !opens && platform.registry.ReadRegistryValue(kClassesRoot, name + kDefaultIcon, "", icon);
  const std::string file = opens ? ProgramStartedBy(command, platform) : FullFileNamed(IconFile(icon), platform);
  if (!file.empty() && SameEntry(platform.system, DirectoryOf(file), own)) return ClassOwner::kOurs;
  const std::string why = opens   ? "its open command starts another program: " + command
                          : shows ? "its icon is another program's: " + icon
                                  : std::string("it has no open command of this program's");
  platform.system.Log(JoinTexts({"file association class HKCR\\", name, ": kept, ", why}));
  return ClassOwner::kAnother;
}

void RemoveFileAssociation(const TaskRecord& task, const std::string& own, const RunPlatform& platform) {
  if (task.field2.empty() || task.field3.empty()) return;
  std::string taken;  // a key whose default value names another program's class by now
  const std::string auto_file = AutoFileClass(task.field2);
  bool auto_file_checked = false;
  ClassOwner auto_file_owner = ClassOwner::kNone;
  for (const RegistryStep& step : FileAssociationSteps(task.field2, task.field3, platform.system.VersionWord())) {
    std::string text;
    if (step.key == taken) continue;
    const bool of_auto_file = step.root == kClassesRoot && step.key.compare(0, auto_file.size(), auto_file) == 0;
    if (of_auto_file || step.names == auto_file) {
      if (!auto_file_checked) auto_file_owner = AutoFileClassOwner(task.field2, own, platform);
      auto_file_checked = true;
      if (of_auto_file && auto_file_owner == ClassOwner::kAnother) continue;
    }
    if (!step.names.empty() && platform.registry.ReadRegistryValue(step.root, step.key, "", text)) {
      // An extension that names another class, or the auto_file class that
      // stays, stays with it: the class would be left without it.
      const bool other_class = !TextEquals(text, step.names);
      if (other_class || (step.names == auto_file && auto_file_owner == ClassOwner::kAnother)) {
        if (!other_class) {
          platform.system.Log(
              JoinTexts({"file association HKCR\\", step.key, ": kept, it names the class that stays: ", text}));
        }
        taken = step.key;
        continue;
      }
    }
    if (step.value) {
      DeleteValue(platform, step.root, step.key, step.value_name);
    } else {
      DeleteKey(platform, step.root, step.key);
    }
  }
}

void RemoveTaskFile(const TaskRecord& task, UninstallRun& run, const RunPlatform& platform) {
  const std::string path = TrimBlanks(task.field2);
  if (!platform.files.FileExists(path)) return;
  platform.window.ShowStatus(StatusText(path));
  // A program that runs still goes at the restart, as one in the installation does.
  if (RemoveByPath(platform, path, false) == Outcome::kAtRestart) run.restart_needed = true;
}

}  // namespace

TaskRecord ParseTaskRecord(const std::string& record) {
  TaskRecord task;
  switch (ParseDecimal(FieldOf(record, 1, "|"))) {
    case kRegistryEntry:
      task.kind = TaskKind::RegistryEntry;
      break;
    case kLibrary:
      task.kind = TaskKind::Library;
      break;
    case kFileAssociation:
      task.kind = TaskKind::FileAssociation;
      break;
    default:
      task.kind = TaskKind::File;
      break;
  }
  task.field2 = FieldOf(record, 2, "|");
  task.field3 = FieldOf(record, 3, "|");
  task.field4 = FieldOf(record, 4, "|");
  return task;
}

bool LibraryPathIsFull(const TaskRecord& task) { return IsFullPath(WithoutLeadingQuote(TrimBlanks(task.field3))); }

int TaskCount(int32_t number) { return static_cast<int8_t>(static_cast<uint8_t>(number & 0xFF)); }

RegistryRoot TaskRoot(const TaskRecord& task) { return static_cast<RegistryRoot>(ParseDecimal(task.field2)); }

void UndoUserTasks(UninstallRun& run, const RunPlatform& platform) {
  SettingsFile file;
  file.Open(platform.system, run.settings.settings_path);
  file.SelectGroup("UserTask");
  const int count = TaskCount(file.ReadNumber("Number", 0));
  for (int i = 1; i <= count; ++i) {
    const std::string record = file.ReadString("Task" + DecimalText(i));
    if (record.empty()) continue;
    const TaskRecord task = ParseTaskRecord(record);
    switch (task.kind) {
      case TaskKind::RegistryEntry:
        UndoRegistryEntry(task, platform);
        break;
      case TaskKind::Library:
        UnregisterLibrary(task, run, platform);
        break;
      case TaskKind::FileAssociation:
        RemoveFileAssociation(task, run.settings.own_directory, platform);
        break;
      case TaskKind::File:
        RemoveTaskFile(task, run, platform);
        break;
    }
  }
  file.Close();
}
