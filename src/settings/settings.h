// The values that steer the run and the texts the user sees, read from
// uninstall.dat once at start-up.
#pragma once

#include <cstdint>
#include <string>

#include "platform/run_platform.h"

struct UninstallSettings {
  std::string own_directory;  // with a trailing backslash
  std::string settings_path;  // own directory + "uninstall.dat"
  std::string mutex_string;
  std::string prog_exe = "-1";
  std::string prog_dir;  // always ends in a backslash
  std::string start_menu;
  std::string guid;
  bool script = false;
  bool no_del_all = false;  // only honoured when ProgDir is the own directory
  std::string desktop_icon;
  bool login_admin = false;
  std::string before_uninst;
  std::string before_param;
  std::string after_uninst;
  std::string after_param;
};

struct UiTexts {
  std::string program_name;
  std::string name_line;
  std::string titel = "Uninstall Program";
  std::string msg = "Program files and registry entries will be removed.";
  std::string version_word = "Version";
  std::string uninst_info = "Remove the following program from your computer:";
  std::string del_all = "Delete all(!) files in the directory (including user files).";
  std::string error = "Uninstalling program not possible.";
  std::string status = "Uninstalling completed.";
  std::string restart = "Uninstalling completed. Restart the computer to remove the files still in use.";
  std::string details = "Details...";
  std::string open_folder = "Open folder";
  std::string close = "Close";
  std::string mutex = "Close Program '$Titel' first!|Then press OK!";
  std::string logon = "Login as administrator";
  std::string user = "Username:";
  std::string password = "Password:";
  std::string rq_titel = "Error - Login";
  std::string rq_msg = "Login failed.";
  std::string ok = "OK";
  std::string cancel = "Cancel";
  std::string ready = "Ready";
  std::string login = "Login";
};

std::string SettingsPathFor(const std::string& own_directory);

// [Settings] and [StartProg] of the settings file beside own_directory.
UninstallSettings ReadUninstallSettings(FileReader& files, const std::string& own_directory);

UiTexts LoadUiTexts(FileReader& files, const std::string& settings_path);

std::string ReadSettingValue(FileReader& files, const std::string& group, const std::string& key,
                             const std::string& default_text, const std::string& settings_path);

// Settings values keep only the low 8 bits of a number for their on/off flags.
bool EightBitFlag(int32_t number);
