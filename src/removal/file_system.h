// File-system primitives of the removal by full path. A path longer than the
// platform's limit is never cut to fit: it is refused, so it is passed over.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/run_platform.h"
#include "text/text.h"

// The platform's path limit in its own units, UTF-16, with the terminating
// NUL: a path that takes this many or more is beyond it. Every path the
// removal opens by its name obeys it, the listed values, the files it looks
// for and the entries it removes by full path alike; below a held directory
// the walk reaches any depth.
constexpr size_t kPathLimit = 260;
bool BeyondPathLimit(const std::string& path);

// The folder a full path lies in, without a trailing backslash but a drive
// root's ("C:\"), as the platform opens it.
std::string FolderOf(const std::string& path);

// A path that names a whole drive: "C:", "C:\", "\\?\C:\" and the like.
// The one test of a drive's root, wherever a decision needs it.
bool IsDriveRoot(const std::string& path);

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

// Whether a directory may hold entries its listing does not show, so that
// it is never taken for empty: a placeholder whose content lies partly with
// a storage provider says so by its attributes, whatever its reparse tag (a
// cloud folder not fully populated is recalled on open; one whose files are
// partly on disk, on data access; a file server's folder may be offline).
// Its deletion would reach the provider, and the cloud, too.
bool MayHoldUnlisted(uint32_t attributes);

// The platform's long form of a full path ("\\?\C:\..." or
// "\\?\UNC\server\share\..."), which no length limit applies to, without
// trailing backslashes but a drive root's: the form in which a handle's
// final path is reported.
std::string LongPathForm(const std::string& path);

// An entry as a plan remembers it, as a deletion removes it: a directory by
// its identity; a file by its name in its folder, since deleting one name of
// a file with several (hard links) leaves the others, and the file.
struct PlannedEntry {
  FileIdentity identity;  // the directory's, or the file's folder's
  std::string name;       // the file's name there, as the folder holds it; empty for a directory
  bool operator<(const PlannedEntry& other) const;
  bool operator==(const PlannedEntry& other) const;
};

// What a plan would have removed so far: its later steps list and count
// these entries as gone.
class PlannedRemovals {
 public:
  void Add(PlannedEntry entry);
  bool Has(const PlannedEntry& entry) const;

 private:
  std::vector<PlannedEntry> entries_;  // in order, each once
};
