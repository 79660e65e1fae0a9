#include "external/uninstall_script.h"

#include "platform/run_platform.h"
#include "text/text.h"

namespace {

// The names the script may use, declared before its first line: VBScript
// constants, or JScript variables (the classic JScript engine behind the
// Script Control has no const), whose string literals need doubled backslashes.
std::string Preamble(bool jscript, const std::string& own, const std::string& menu, const std::string& guid) {
  std::string text;
  if (!jscript) {
    AppendTexts(text, {"Const qmProgDir = \"", own, "\"\r\nConst qmStartMenuDir = \"", menu, "\"\r\nConst qmGUID = \"",
                       guid, "\"\r\n"});
    return text;
  }
  AppendTexts(text,
              {"var qmProgDir  = \"", ReplaceAll(own, "\\", "\\\\"), "\";\r\nvar qmStartMenuDir = \"",
               ReplaceAll(menu, "\\", "\\\\"), "\";\r\nvar qmGUID = \"", ReplaceAll(guid, "\\", "\\\\"), "\";\r\n"});
  return text;
}

// Lines end at CR LF, LF, a lone CR, a NUL byte or the end; each gets CR LF.
std::string WithCrLfLines(const std::string& bytes) {
  std::string text;
  bool open_line = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n' || c == '\0') {
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      text += "\r\n";
      open_line = false;
    } else {
      text += c;
      open_line = true;
    }
  }
  if (open_line) text += "\r\n";
  return text;
}

}  // namespace

bool ScriptFileText(std::string file_bytes, FileReader& files, std::string& text) {
  if (file_bytes.compare(0, 3, "\xEF\xBB\xBF") != 0) {
    text = files.LegacyText(file_bytes);
    return true;
  }
  file_bytes.erase(0, 3);
  return CheckUtf8(file_bytes) == Utf8Form::kWellFormed && files.Utf8Text(file_bytes, text);
}

ScriptText UninstallScriptText(const std::string& script_path, const std::string& file_bytes,
                               const std::string& own_directory, const std::string& start_menu,
                               const std::string& guid) {
  const std::string extension = LowerCase(ExtensionOf(script_path));
  ScriptText script;
  if (extension != "vbs" && extension != "js") return script;
  const bool jscript = extension == "js";
  script.language = jscript ? "JScript" : "VBScript";
  script.text = Preamble(jscript, own_directory, start_menu, guid);
  for (const char c : script.text) script.lines_before += c == '\n' ? 1 : 0;
  script.text += WithCrLfLines(file_bytes);
  return script;
}
