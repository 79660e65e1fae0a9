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
  if (RightBytes(s.prog_dir, 1) != "\\") s.prog_dir += "\\";
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

UiTexts LoadUiTexts(const std::string& settings_path) {
  UiTexts t;
  SettingsFile file;
  file.Open(settings_path);
  file.SelectGroup("Settings");
  t.program_name = file.ReadString("ProgName");
  std::string version = file.ReadString("Version");

  file.SelectGroup("Language");
  t.titel = file.ReadString("Titel", t.titel);
  t.msg = file.ReadString("Msg", t.msg);
  t.version_word = file.ReadString("Version", t.version_word);
  if (!version.empty()) version = " (" + t.version_word + " " + version + ")";
  t.uninst_info = file.ReadString("UninstInfo", t.uninst_info);
  t.name_line = t.program_name + version;
  t.del_all = file.ReadString("DelAll", t.del_all);
  t.error = file.ReadString("Error", t.error);
  t.status = file.ReadString("Status", t.status);
  t.mutex = ReplaceAll(file.ReadString("Mutex", t.mutex), "$Titel", t.program_name);
  t.logon = file.ReadString("Logon", t.logon);
  t.user = file.ReadString("User", t.user);
  t.password = file.ReadString("Password", t.password);
  t.rq_titel = file.ReadString("RQ_Titel", t.rq_titel);
  t.rq_msg = file.ReadString("RQ_Msg", t.rq_msg);
  t.ok = file.ReadString("OK", t.ok);
  t.cancel = file.ReadString("Cancel", t.cancel);
  t.ready = file.ReadString("Ready", t.ready);
  t.login = file.ReadString("Login", t.login);
  file.Close();
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
