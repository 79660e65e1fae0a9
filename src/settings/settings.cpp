#include "settings/settings.h"

#include <iterator>

#include "settings/settings_file.h"
#include "text/text.h"

std::string SettingsPathFor(const std::string& own_directory) { return own_directory + "uninstall.dat"; }

bool EightBitFlag(int32_t number) { return (static_cast<uint32_t>(number) & 0xFFu) != 0; }

namespace {

// The texts of [Settings] and [StartProg], each with its key; a missing key
// keeps the member's default.
struct SettingText {
  const char* key;
  std::string UninstallSettings::*text;
};

constexpr SettingText kSettingsTexts[] = {
    {"MutexString", &UninstallSettings::mutex_string},
    {"ProgExe", &UninstallSettings::prog_exe},
    {"ProgDir", &UninstallSettings::prog_dir},
    {"StartMenu", &UninstallSettings::start_menu},
    {"GUID", &UninstallSettings::guid},
    {"DesktopIcon", &UninstallSettings::desktop_icon},
};

constexpr SettingText kStartProgTexts[] = {
    {"BeforeUninst", &UninstallSettings::before_uninst},
    {"BeforeParam", &UninstallSettings::before_param},
    {"AfterUninst", &UninstallSettings::after_uninst},
    {"AfterParam", &UninstallSettings::after_param},
};

void ReadTexts(const SettingsFile& file, const SettingText* first, const SettingText* end, UninstallSettings& s) {
  for (const SettingText* t = first; t != end; ++t) s.*t->text = file.ReadString(t->key, s.*t->text);
}

bool ReadFlag(const SettingsFile& file, const char* key) { return EightBitFlag(file.ReadNumber(key, 0)); }

}  // namespace

UninstallSettings ReadUninstallSettings(FileReader& files, const std::string& own_directory) {
  UninstallSettings s;
  s.own_directory = own_directory;
  s.settings_path = SettingsPathFor(own_directory);

  SettingsFile file;
  file.Open(files, s.settings_path);
  file.SelectGroup("Settings");
  ReadTexts(file, std::begin(kSettingsTexts), std::end(kSettingsTexts), s);
  s.prog_dir = WithTrailingBackslash(s.prog_dir);
  s.script = ReadFlag(file, "Script");
  s.no_del_all = TextEquals(s.prog_dir, own_directory) && ReadFlag(file, "NoDelAll");
  s.login_admin = ReadFlag(file, "LoginAdmin");

  file.SelectGroup("StartProg");
  ReadTexts(file, std::begin(kStartProgTexts), std::end(kStartProgTexts), s);
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
    {"Login", &UiTexts::login},          {"Restart", &UiTexts::restart},
    {"Details", &UiTexts::details},      {"OpenFolder", &UiTexts::open_folder},
    {"Close", &UiTexts::close},
};

}  // namespace

UiTexts LoadUiTexts(FileReader& files, const std::string& settings_path) {
  UiTexts t;
  SettingsFile file;
  file.Open(files, settings_path);
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

std::string ReadSettingValue(FileReader& files, const std::string& group, const std::string& key,
                             const std::string& default_text, const std::string& settings_path) {
  SettingsFile file;
  file.Open(files, settings_path);
  file.SelectGroup(group);
  std::string value = file.ReadString(key, default_text);
  file.Close();
  return value;
}
