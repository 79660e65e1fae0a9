// File-system primitives of the removal by full path. A path longer than the
// platform's limit is never cut to fit: it is refused, so it is passed over.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "text/text.h"

// "C:" or "C:\" and the like: a path that names a whole drive.
bool NamesDrive(const std::string& path);

// The name a file in use takes beside itself until the restart removes it:
// this process's own, so that it is nobody else's, and the attempt's.
std::string InUseName(uint32_t process_id, int attempt);
// What every such name of this process begins with.
std::string InUsePrefix(uint32_t process_id);
// True for such a name of any process: "~qm", digits, "-", digits, ".tmp".
bool IsInUseName(const std::string& name);

// Whether a reparse point leads elsewhere by name, as junctions, symbolic
// links and mount points do: its tag has the name-surrogate bit. Others (a
// cloud placeholder, a deduplicated file) hold their own content and are
// removed like any entry. A platform that reports no tag is taken at its
// word that it is a link.
bool ReparseTagLeadsElsewhere(uint32_t tag);

// The platform's long form of a full path ("\\?\C:\..." or
// "\\?\UNC\server\share\..."), which no length limit applies to, without
// trailing backslashes but a drive root's: the form in which a handle's
// final path is reported.
std::string LongPathForm(const std::string& path);

// An entry by what names it alone on its machine, whatever path leads to it:
// its volume and its file id (128 bits where the system gives them, else the
// 64-bit index), or, where the volume gives no usable id (some network
// volumes answer 0 for every file), its final path in capitals.
struct FileIdentity {
  uint64_t volume = 0;
  uint64_t id_high = 0;
  uint64_t id_low = 0;
  std::string path;  // only where there is no id
  bool operator<(const FileIdentity& other) const;
  bool operator==(const FileIdentity& other) const;
};

// What a plan would have removed so far: its later steps list and count
// these entries as gone.
class PlannedRemovals {
 public:
  void Add(FileIdentity entry);
  bool Has(const FileIdentity& entry) const;

 private:
  std::vector<FileIdentity> entries_;  // in order, each once
};
