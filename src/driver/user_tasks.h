// The optional tasks an installation carried out, recorded in [UserTask] as
// "|"-separated fields, undone in the order of their numbers.
#pragma once

#include <cstdint>
#include <string>

#include "driver/uninstall_sequence.h"
#include "platform/run_platform.h"

enum class TaskKind { RegistryEntry, Library, FileAssociation, File };

struct TaskRecord {
  TaskKind kind = TaskKind::File;
  std::string field2;
  std::string field3;
  std::string field4;
};

TaskRecord ParseTaskRecord(const std::string& record);

// Whether a library record names its library by a full path (quoted or not);
// one that does not is passed over.
bool LibraryPathIsFull(const TaskRecord& task);

// How many task keys count: the low 8 bits of Number as a signed value.
int TaskCount(int32_t number);

// The registry root a record names, wrapped to 32 bits.
RegistryRoot TaskRoot(const TaskRecord& task);

void UndoUserTasks(UninstallRun& run, const RunPlatform& platform);
