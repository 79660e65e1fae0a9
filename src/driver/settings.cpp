#include "driver/settings.h"

#include "driver/settings_file.h"
#include "text/text.h"

std::string SettingsPathFor(const std::string& own_directory) { return own_directory + "uninstall.dat"; }

bool EightBitFlag(int32_t number) { return (static_cast<uint32_t>(number) & 0xFFu) != 0; }

UninstallSettings ReadUninstallSettings(const std::string& own_directory) {
  UninstallSettings s;
  s.own_directory = own_directory;
  s.settings_path = SettingsPathFor(own_directory);

  SettingsFile file;
  file.Open(s.settings_path);
  file.SelectGroup("Settings");
  s.mutex_string = file.ReadString("MutexString");
  s.prog_exe = file.ReadString("ProgExe", "-1");
  s.prog_dir = file.ReadString("ProgDir");
  s.start_menu = file.ReadString("StartMenu");
  s.guid = file.ReadString("GUID");
  s.script = EightBitFlag(file.ReadNumber("Script", 0));
  s.prog_dir = WithTrailingBackslash(s.prog_dir);
  s.no_del_all = TextEquals(s.prog_dir, own_directory) && EightBitFlag(file.ReadNumber("NoDelAll", 0));
  s.desktop_icon = file.ReadString("DesktopIcon");
  s.login_admin = EightBitFlag(file.ReadNumber("LoginAdmin", 0));

  file.SelectGroup("StartProg");
  s.before_uninst = file.ReadString("BeforeUninst");
  s.before_param = file.ReadString("BeforeParam");
  s.after_uninst = file.ReadString("AfterUninst");
  s.after_param = file.ReadString("AfterParam");
  file.Close();
  return s;
}

namespace {

// The texts that [Language] may replace, each with its key.
struct LanguageText {
  const char* key;
  std::string UiTexts::*text;
};

constexpr LanguageText kLanguageTexts[] = {
    {"Titel", &UiTexts::titel},          {"Msg", &UiTexts::msg},
    {"Version", &UiTexts::version_word}, {"UninstInfo", &UiTexts::uninst_info},
    {"DelAll", &UiTexts::del_all},       {"Error", &UiTexts::error},
    {"Status", &UiTexts::status},        {"Mutex", &UiTexts::mutex},
    {"Logon", &UiTexts::logon},          {"User", &UiTexts::user},
    {"Password", &UiTexts::password},    {"RQ_Titel", &UiTexts::rq_titel},
    {"RQ_Msg", &UiTexts::rq_msg},        {"OK", &UiTexts::ok},
    {"Cancel", &UiTexts::cancel},        {"Ready", &UiTexts::ready},
    {"Login", &UiTexts::login},
};

}  // namespace

UiTexts LoadUiTexts(const std::string& settings_path) {
  UiTexts t;
  SettingsFile file;
  file.Open(settings_path);
  file.SelectGroup("Settings");
  t.program_name = file.ReadString("ProgName");
  const std::string version = file.ReadString("Version");
  file.SelectGroup("Language");
  for (const LanguageText& entry : kLanguageTexts) t.*entry.text = file.ReadString(entry.key, t.*entry.text);
  file.Close();
  // The key Version names the number in [Settings] and the word before it in [Language].
  t.name_line = t.program_name + (version.empty() ? std::string() : " (" + t.version_word + " " + version + ")");
  t.mutex = ReplaceAll(t.mutex, "$Titel", t.program_name);
  return t;
}

std::string ReadSettingValue(const std::string& group, const std::string& key, const std::string& default_text,
                             const std::string& settings_path) {
  SettingsFile file;
  file.Open(settings_path);
  file.SelectGroup(group);
  std::string value = file.ReadString(key, default_text);
  file.Close();
  return value;
}
