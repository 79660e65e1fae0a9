#include "external/uninstall_script.h"

#include "text/text.h"

namespace {

std::string VbScriptPreamble(const std::string& own, const std::string& menu, const std::string& guid) {
  return "Const qmProgDir = \"" + own + "\"\r\n" + "Const qmStartMenuDir = \"" + menu + "\"\r\n" + "Const qmGUID = \"" +
         guid + "\"\r\n";
}

// JScript string literals need doubled backslashes. The names are declared
// with var: the classic JScript engine behind the Script Control has no const.
std::string JScriptPreamble(const std::string& own, const std::string& menu, const std::string& guid) {
  auto literal = [](const std::string& value) { return "\"" + ReplaceAll(value, "\\", "\\\\") + "\";\r\n"; };
  return "var qmProgDir  = " + literal(own) + "var qmStartMenuDir = " + literal(menu) + "var qmGUID = " + literal(guid);
}

// Lines end at CR LF, LF, a lone CR, a NUL byte or the end; each gets CR LF.
std::string WithCrLfLines(const std::string& bytes) {
  std::string text;
  std::string line;
  bool open_line = false;
  for (size_t i = 0; i < bytes.size(); ++i) {
    const char c = bytes[i];
    if (c == '\r' || c == '\n' || c == '\0') {
      if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
      text += line + "\r\n";
      line.clear();
      open_line = false;
    } else {
      line += c;
      open_line = true;
    }
  }
  if (open_line) text += line + "\r\n";
  return text;
}

}  // namespace

ScriptText UninstallScriptText(const std::string& script_path, const std::string& file_bytes,
                               const std::string& own_directory, const std::string& start_menu,
                               const std::string& guid) {
  const std::string extension = LowerCase(ExtensionOf(script_path));
  ScriptText script;
  if (extension == "vbs") {
    script.language = "VBScript";
    script.text = VbScriptPreamble(own_directory, start_menu, guid);
  } else if (extension == "js") {
    script.language = "JScript";
    script.text = JScriptPreamble(own_directory, start_menu, guid);
  } else {
    return script;
  }
  script.text += WithCrLfLines(file_bytes);
  return script;
}
