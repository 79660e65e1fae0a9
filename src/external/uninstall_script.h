// The uninstall script as the Script Control receives it: three constants that
// tell the script where the program lived, then the file's lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct ScriptText {
  std::string language;  // "VBScript" or "JScript"; empty when the extension is neither
  std::string text;
  int32_t lines_before = 0;  // the declarations' lines before the script's own first one
};

// The script files the run looks for in the own directory, in this order:
// at most one of them runs.
constexpr const char* kScriptNames[] = {"Uninstall.vbs", "Uninstall.js"};

// A longer script is not run, as if it were absent: it would be copied and
// widened whole, which a 32-bit process cannot afford for any size.
constexpr size_t kLargestScript = 16u << 20;

class FileReader;

// The program's text of a script file: UTF-8 after the signature, the legacy
// code page without one. False for UTF-8 that is malformed or holds a letter
// the program's text cannot (nothing of such a script runs).
bool ScriptFileText(std::string file_bytes, FileReader& files, std::string& text);

// file_bytes is the whole file; every line end becomes CR LF, NUL bytes are dropped.
ScriptText UninstallScriptText(const std::string& script_path, const std::string& file_bytes,
                               const std::string& own_directory, const std::string& start_menu,
                               const std::string& guid);
