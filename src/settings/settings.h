// The values that steer the run and the texts the user sees, read from
// uninstall.dat once at start-up.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/run_platform.h"
#include "settings/plural.h"

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

// The texts the user sees, by their key in [Language], which may replace
// each English default. The Why texts say why something stayed, in the list
// of what stayed; "$N" stands for a number. WhyHeld: a directory that holds
// entries of the user's, each named on a line below it, a directory with its
// Entries.
enum class UiText : uint8_t {
  kTitel,
  kMsg,
  kVersion,
  kUninstInfo,
  kDelAll,
  kError,
  kStatus,
  kMutex,
  kLogon,
  kUser,
  kPassword,
  kRqTitel,
  kRqMsg,
  kRqNoAdmin,
  kOk,
  kCancel,
  kReady,
  kLogin,
  kRestart,
  kDetails,
  kOpenFolder,
  kClose,
  kWhyInUse,
  kWhyDenied,
  kWhyHeld,
  kWhyHeldOne,
  kWhyThroughLink,
  kWhyLink,
  kWhyChanged,
  kWhyOutside,
  kWhyTooLong,
  kWhyAtRestart,
  kWhyError,
  kWhyListedKept,
  kEntries,
  kEntriesOne,
  kLinkEntry,
  kMore,
  // The boxes' caption, the usage box ("|" ends a line), the log's refusal
  // and its reasons, the failure box's line naming the log.
  kBoxTitel,
  kUsage,
  kLogRefused,
  kLogUnwritable,
  kLogDevice,
  kLogDirectory,
  kLogOtherNames,
  kLogLink,
  kLogLine,
  // Templates: the name line ($Name, $Version), a line of what stayed
  // ($Path, $Why) and a user's entry below it ($Path, $What).
  kNameLine,
  kStayedLine,
  kEntryLine,
  // The language whose plural rule picks the form of a count, and the forms
  // beyond today's two of each counted text; an empty one is the other form.
  kPlural,
  kEntriesZero,
  kEntriesTwo,
  kEntriesFew,
  kEntriesMany,
  kWhyHeldZero,
  kWhyHeldTwo,
  kWhyHeldFew,
  kWhyHeldMany,
  kMoreZero,
  kMoreOne,
  kMoreTwo,
  kMoreFew,
  kMoreMany,
  kCount
};

struct UiTexts {
  std::string program_name;
  std::string name_line;
  // [Language] RightToLeft=1: every window mirrored, every text read from the right.
  bool right_to_left = false;

  UiTexts();
  const std::string& operator[](UiText id) const { return texts_[static_cast<size_t>(id)]; }
  std::string& operator[](UiText id) { return texts_[static_cast<size_t>(id)]; }

 private:
  std::string texts_[static_cast<size_t>(UiText::kCount)];
};

// The key of a text in [Language].
const char* LanguageKey(UiText id);

// The text that says why an entry with that outcome stayed.
UiText Why(Outcome outcome);

// The text that says why a log was refused.
UiText RefusalText(LogRefusal refusal);

// The caption of the program's own boxes: a blank, then BoxTitel.
std::string BoxCaption(const UiTexts& texts);

// A box's style for the texts' direction: read and aligned from the right
// (MB_RTLREADING | MB_RIGHT) where the texts are right to left.
unsigned BoxStyle(const UiTexts& texts, unsigned style);

// A counted text (kEntries, kWhyHeld or kMore, each its other form) in the
// form the number takes by the rule of the texts' Plural language, with
// "$N" replaced by the number. A form that is empty, or a one form without
// "$N" for a number other than 1 ("1 entry" for 21 in Russian), falls back
// to the other form.
std::string CountedText(const UiTexts& texts, UiText counted, uint32_t number);

// The form of a count a text stands for (EntriesFew: kFew), kOther for a
// counted text's own key and every text that is no form of one.
PluralForm FormOfText(UiText id);

// A template's text with each "$Name" replaced by its value, in the order given.
std::string FilledTemplate(std::string text, std::initializer_list<std::pair<const char*, std::string_view>> values);

// The links of [StartMenu] the program removes, by their keys.
constexpr const char* kStartMenuKeys[] = {"Program", "AddExe", "Help", "Homepage", "Zephlink", "Uninstall"};
// The on/off settings of [Settings].
constexpr const char* kSettingsFlags[] = {"Script", "NoDelAll", "LoginAdmin"};

// Every key the program reads in a group: its names as the program spells
// them; none for [Files] and [Dirs], whose key names never count, and for
// [UserTask] only Number (the records are Task1, Task2, ...).
std::vector<std::string> KeysOfGroup(const std::string& group);

std::string SettingsPathFor(const std::string& own_directory);

// [Settings] and [StartProg] of the settings file beside own_directory.
UninstallSettings ReadUninstallSettings(FileReader& files, const std::string& own_directory);
// The same into settings as they stand (defaults, for a run's own).
void ReadUninstallSettings(FileReader& files, const std::string& own_directory, UninstallSettings& settings);

UiTexts LoadUiTexts(FileReader& files, const std::string& settings_path);
void LoadUiTexts(FileReader& files, const std::string& settings_path, UiTexts& texts);

std::string ReadSettingValue(FileReader& files, const std::string& group, const std::string& key,
                             const std::string& default_text, const std::string& settings_path);

// Settings values keep only the low 8 bits of a number for their on/off flags.
bool EightBitFlag(int32_t number);
