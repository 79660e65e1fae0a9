// uninstall-check FILE...: the installer author's check of uninstall.dat,
// where installers are built. Each finding is one line in the compilers'
// form, FILE:LINE:COLUMN: error: ... or FILE:LINE: warning: ... where no
// column is known, so that editors and CI annotate it. It reads the files the
// program's way and changes nothing. The Windows build's manifest makes its
// arguments and output UTF-8, as the program's does.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "checker/author_notes.h"
#include "settings/settings_file.h"

namespace {

#ifndef UNINSTALL_VERSION
#define UNINSTALL_VERSION "development"
#endif

constexpr char kUsage[] =
    "usage: uninstall-check [--strict] [--] FILE...\n"
    "       uninstall-check --version\n"
    "Checks each uninstall.dat as the uninstaller reads it. A file without the\n"
    "UTF-8 signature is read in code page 1252, as on a Western system.\n"
    "--strict  warnings count as errors\n"
    "--        what follows is a file, whatever its name\n"
    "The last line counts the errors and warnings of the run.\n"
    "Exit code: 0 no error, 1 an error (or with --strict a warning), 2 a file cannot be read.\n";

// Files as a Western system with the program's manifest reads them; the
// checker reads the bytes itself.
class CheckedFiles final : public WesternFileReader {
 public:
  HeldFileBytes ReadHeldFile(const std::string&) override { return HeldFileBytes(); }
};

bool ReadWholeFile(const char* path, std::string& bytes) {
  std::FILE* file = std::fopen(path, "rb");
  if (file == nullptr) return false;
  char buffer[65536];
  for (size_t read; (read = std::fread(buffer, 1, sizeof(buffer), file)) > 0;) bytes.append(buffer, read);
  const bool whole = std::ferror(file) == 0;
  std::fclose(file);
  return whole;
}

}  // namespace

int main(int argc, char** argv) {
  bool strict = false;
  bool failed = false, unreadable = false;
  std::vector<const char*> paths;
  bool options = true;
  for (int i = 1; i < argc; ++i) {
    if (options && std::strcmp(argv[i], "--") == 0) {
      options = false;
    } else if (options && std::strcmp(argv[i], "--strict") == 0) {
      strict = true;
    } else if (options && (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)) {
      std::fputs(kUsage, stdout);
      return 0;
    } else if (options && std::strcmp(argv[i], "--version") == 0) {
      std::puts("uninstall-check " UNINSTALL_VERSION);
      return 0;
    } else if (options && std::strncmp(argv[i], "--", 2) == 0) {
      std::fprintf(stderr, "uninstall-check: unknown option %s\n%s", argv[i], kUsage);
      return 2;
    } else {
      paths.push_back(argv[i]);
    }
  }
  if (paths.empty()) {
    std::fputs(kUsage, stderr);
    return 2;
  }
  CheckedFiles files;
  int errors = 0, warnings = 0;
  for (const char* path : paths) {
    std::string bytes;
    errno = 0;
    if (!ReadWholeFile(path, bytes)) {
      std::fprintf(stderr, "%s: error: cannot be read: %s\n", path, std::strerror(errno != 0 ? errno : EIO));
      unreadable = true;
      continue;
    }
    for (const AuthorFinding& finding : CheckSettingsFile(bytes, files)) {
      const std::string column = finding.column > 0 ? ":" + std::to_string(finding.column) : std::string();
      std::printf("%s:%d%s: %s: %s\n", path, finding.line, column.c_str(), finding.error ? "error" : "warning",
                  finding.text.c_str());
      (finding.error ? errors : warnings) += 1;
      failed = failed || finding.error || strict;
    }
  }
  std::printf("%d error%s, %d warning%s\n", errors, errors == 1 ? "" : "s", warnings, warnings == 1 ? "" : "s");
  return unreadable ? 2 : failed ? 1 : 0;
}
