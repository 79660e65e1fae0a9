// Arbitrary bytes as an author's uninstall.dat for the checker: it never
// fails on any input, every finding points at a line of the file, and it
// reads every value the program reads as the program's reader does.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "checker/author_notes.h"
#include "input_file.h"
#include "read_alike.h"
#include "settings/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  InputFile files(bytes);
  // An editor's lines: each CR LF, LF or lone CR ends one; the last may lack it.
  size_t lines = 1;
  for (size_t i = 0; i < size; ++i) {
    lines += bytes[i] == '\n' || (bytes[i] == '\r' && (i + 1 == size || bytes[i + 1] != '\n'));
  }
  for (const AuthorFinding& finding : CheckSettingsFile(bytes, files)) {
    if (finding.line < 1 || static_cast<size_t>(finding.line) > lines || finding.column < 0 || finding.text.empty()) {
      std::abort();
    }
  }
  if (!FirstValueReadApart(bytes, files, "C:\\App\\uninstall.dat").empty()) std::abort();
  return 0;
}
