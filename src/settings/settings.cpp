#include "settings/settings.h"

#include <iterator>

#include "settings/plural.h"
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

// Read elsewhere: the name and version with the texts, ProgLink by the
// registration's removal.
constexpr const char* kOtherSettingsKeys[] = {"ProgName", "Version", "ProgLink"};
// The one on/off setting of [Language].
constexpr char kRightToLeftKey[] = "RightToLeft";

}  // namespace

UninstallSettings ReadUninstallSettings(FileReader& files, const std::string& own_directory) {
  UninstallSettings s;
  ReadUninstallSettings(files, own_directory, s);
  return s;
}

void ReadUninstallSettings(FileReader& files, const std::string& own_directory, UninstallSettings& s) {
  s.own_directory = own_directory;
  s.settings_path = SettingsPathFor(own_directory);

  SettingsFile file;
  file.Open(files, s.settings_path);
  file.SelectGroup("Settings");
  ReadTexts(file, std::begin(kSettingsTexts), std::end(kSettingsTexts), s);
  s.prog_dir = WithTrailingBackslash(s.prog_dir);
  s.script = ReadFlag(file, kSettingsFlags[0]);
  s.no_del_all = TextEquals(s.prog_dir, own_directory) && ReadFlag(file, kSettingsFlags[1]);
  s.login_admin = ReadFlag(file, kSettingsFlags[2]);

  file.SelectGroup("StartProg");
  ReadTexts(file, std::begin(kStartProgTexts), std::end(kStartProgTexts), s);
  file.Close();
}

namespace {

// Each text's key and English default, at its text's place: a row out of
// place would read another text's key into it.
struct LanguageText {
  UiText id;
  const char* key;
  const char* english;
};

constexpr LanguageText kLanguageTexts[] = {
    {UiText::kTitel, "Titel", "Uninstall Program"},
    {UiText::kMsg, "Msg", "Program files and registry entries will be removed."},
    {UiText::kVersion, "Version", "Version"},
    {UiText::kUninstInfo, "UninstInfo", "Remove the following program from your computer:"},
    {UiText::kDelAll, "DelAll", "Delete all(!) files in the directory (including user files)."},
    {UiText::kError, "Error", "Uninstalling program not possible."},
    {UiText::kStatus, "Status", "Uninstalling completed."},
    {UiText::kMutex, "Mutex", "Close Program '$Titel' first!|Then press OK!"},
    {UiText::kLogon, "Logon", "Login as administrator"},
    {UiText::kUser, "User", "Username:"},
    {UiText::kPassword, "Password", "Password:"},
    {UiText::kRqTitel, "RQ_Titel", "Error - Login"},
    {UiText::kRqMsg, "RQ_Msg", "Login failed."},
    {UiText::kRqNoAdmin, "RQ_NoAdmin", "This account is not an administrator."},
    {UiText::kOk, "OK", "OK"},
    {UiText::kCancel, "Cancel", "Cancel"},
    {UiText::kReady, "Ready", "Ready"},
    {UiText::kLogin, "Login", "Login"},
    {UiText::kRestart, "Restart", "Uninstalling completed. Restart the computer to remove the files still in use."},
    {UiText::kDetails, "Details", "Details..."},
    {UiText::kOpenFolder, "OpenFolder", "Open folder"},
    {UiText::kClose, "Close", "Close"},
    {UiText::kWhyInUse, "WhyInUse", EnglishWords(Outcome::kInUse)},
    {UiText::kWhyDenied, "WhyDenied", EnglishWords(Outcome::kDenied)},
    {UiText::kWhyHeld, "WhyHeld", "kept, it holds $N files or folders the setup did not install"},
    {UiText::kWhyHeldOne, "WhyHeldOne", "kept, it holds 1 file or folder the setup did not install"},
    {UiText::kWhyThroughLink, "WhyThroughLink", EnglishWords(Outcome::kThroughLink)},
    {UiText::kWhyLink, "WhyLink", EnglishWords(Outcome::kLink)},
    {UiText::kWhyChanged, "WhyChanged", EnglishWords(Outcome::kChanged)},
    {UiText::kWhyOutside, "WhyOutside", EnglishWords(Outcome::kOutside)},
    {UiText::kWhyTooLong, "WhyTooLong", EnglishWords(Outcome::kTooLong)},
    {UiText::kWhyAtRestart, "WhyAtRestart", EnglishWords(Outcome::kAtRestart)},
    {UiText::kWhyError, "WhyError", EnglishWords(Outcome::kFailed)},
    {UiText::kWhyListedKept, "WhyListedKept",
     "kept, delete-all takes only the [Dirs] folders and the files directly in the installation folder"},
    {UiText::kEntries, "Entries", "$N entries"},
    {UiText::kEntriesOne, "EntriesOne", "1 entry"},
    {UiText::kLinkEntry, "LinkEntry", "a link, not looked into"},
    {UiText::kMore, "More", "and $N more"},
    {UiText::kBoxTitel, "BoxTitel", "Quillmarn - Error"},
    {UiText::kUsage, "Usage",
     "Usage: uninstall.exe [/S] [/PLAN] [/LOG[=path]] [/TIMEOUT=seconds]|"
     "/S, /SILENT, /VERYSILENT  uninstall without a window, keeping user files|"
     "/PLAN  log what /S would do, changing nothing|"
     "/LOG[=path]  log what is done (by default in the temporary directory)|"
     "/TIMEOUT=seconds  how long /S waits for a program (900; 0: no limit)"},
    {UiText::kLogRefused, "LogRefused", "Could not write the log:|$Path|$Why"},
    {UiText::kLogUnwritable, "LogUnwritable", RefusalWords(LogRefusal::kUnwritable)},
    {UiText::kLogDevice, "LogDevice", RefusalWords(LogRefusal::kDevice)},
    {UiText::kLogDirectory, "LogDirectory", RefusalWords(LogRefusal::kDirectory)},
    {UiText::kLogOtherNames, "LogOtherNames", RefusalWords(LogRefusal::kOtherNames)},
    {UiText::kLogLink, "LogLink", RefusalWords(LogRefusal::kLink)},
    {UiText::kLogLine, "LogLine", "Log: $Path"},
    {UiText::kNameLine, "NameLine", "$Name (Version $Version)"},
    {UiText::kStayedLine, "StayedLine", "$Path: $Why"},
    {UiText::kEntryLine, "EntryLine", "$Path ($What)"},
    {UiText::kPlural, "Plural", "en"},
    {UiText::kEntriesZero, "EntriesZero", ""},
    {UiText::kEntriesTwo, "EntriesTwo", ""},
    {UiText::kEntriesFew, "EntriesFew", ""},
    {UiText::kEntriesMany, "EntriesMany", ""},
    {UiText::kWhyHeldZero, "WhyHeldZero", ""},
    {UiText::kWhyHeldTwo, "WhyHeldTwo", ""},
    {UiText::kWhyHeldFew, "WhyHeldFew", ""},
    {UiText::kWhyHeldMany, "WhyHeldMany", ""},
    {UiText::kMoreZero, "MoreZero", ""},
    {UiText::kMoreOne, "MoreOne", ""},
    {UiText::kMoreTwo, "MoreTwo", ""},
    {UiText::kMoreFew, "MoreFew", ""},
    {UiText::kMoreMany, "MoreMany", ""},
};
static_assert(std::size(kLanguageTexts) == static_cast<size_t>(UiText::kCount) && RowsFollowTheirEnum(kLanguageTexts),
              "every text's row at its place");

}  // namespace

std::vector<std::string> KeysOfGroup(const std::string& group) {
  std::vector<std::string> keys;
  const auto add = [&](const auto& names) {
    for (const auto& name : names) keys.emplace_back(name);
  };
  if (SameSettingsName(group, "Settings")) {
    for (const SettingText& text : kSettingsTexts) keys.emplace_back(text.key);
    add(kSettingsFlags);
    add(kOtherSettingsKeys);
  } else if (SameSettingsName(group, "StartProg")) {
    for (const SettingText& text : kStartProgTexts) keys.emplace_back(text.key);
  } else if (SameSettingsName(group, "StartMenu")) {
    add(kStartMenuKeys);
  } else if (SameSettingsName(group, "UserTask")) {
    keys.emplace_back("Number");
  } else if (SameSettingsName(group, "Language")) {
    for (const LanguageText& text : kLanguageTexts) keys.emplace_back(text.key);
    keys.emplace_back(kRightToLeftKey);
  }
  return keys;
}

UiTexts::UiTexts() {
  for (size_t i = 0; i < std::size(kLanguageTexts); ++i) texts_[i] = kLanguageTexts[i].english;
}

const char* LanguageKey(UiText id) { return kLanguageTexts[static_cast<size_t>(id)].key; }

UiText Why(Outcome outcome) {
  switch (outcome) {
    case Outcome::kInUse:
      return UiText::kWhyInUse;
    case Outcome::kDenied:
      return UiText::kWhyDenied;
    case Outcome::kNotEmpty:
      return UiText::kWhyHeld;
    case Outcome::kThroughLink:
      return UiText::kWhyThroughLink;
    case Outcome::kLink:
      return UiText::kWhyLink;
    case Outcome::kChanged:
      return UiText::kWhyChanged;
    case Outcome::kOutside:
      return UiText::kWhyOutside;
    case Outcome::kTooLong:
      return UiText::kWhyTooLong;
    case Outcome::kAtRestart:
      return UiText::kWhyAtRestart;
    case Outcome::kRemoved:  // removed and absent entries never stay
    case Outcome::kAbsent:
    case Outcome::kFailed:
      break;
  }
  return UiText::kWhyError;
}

UiText RefusalText(LogRefusal refusal) {
  switch (refusal) {
    case LogRefusal::kDevice:
      return UiText::kLogDevice;
    case LogRefusal::kDirectory:
      return UiText::kLogDirectory;
    case LogRefusal::kOtherNames:
      return UiText::kLogOtherNames;
    case LogRefusal::kLink:
      return UiText::kLogLink;
    case LogRefusal::kNone:
    case LogRefusal::kUnwritable:
      break;
  }
  return UiText::kLogUnwritable;
}

std::string BoxCaption(const UiTexts& texts) { return " " + texts[UiText::kBoxTitel]; }

unsigned BoxStyle(const UiTexts& texts, unsigned style) {
  constexpr unsigned kRightToLeft = 0x00100000u | 0x00080000u;
  return texts.right_to_left ? style | kRightToLeft : style;
}

namespace {

// The forms of a counted text, by PluralForm: zero, one, two, few, many, other.
struct CountedForms {
  UiText by_form[6];
};

CountedForms FormsOf(UiText counted) {
  switch (counted) {
    case UiText::kWhyHeld:
      return {{UiText::kWhyHeldZero, UiText::kWhyHeldOne, UiText::kWhyHeldTwo, UiText::kWhyHeldFew,
               UiText::kWhyHeldMany, UiText::kWhyHeld}};
    case UiText::kMore:
      return {
          {UiText::kMoreZero, UiText::kMoreOne, UiText::kMoreTwo, UiText::kMoreFew, UiText::kMoreMany, UiText::kMore}};
    default:
      return {{UiText::kEntriesZero, UiText::kEntriesOne, UiText::kEntriesTwo, UiText::kEntriesFew,
               UiText::kEntriesMany, UiText::kEntries}};
  }
}

}  // namespace

PluralForm FormOfText(UiText id) {
  for (const UiText counted : {UiText::kEntries, UiText::kWhyHeld, UiText::kMore}) {
    const CountedForms forms = FormsOf(counted);
    for (size_t form = 0; form < std::size(forms.by_form); ++form) {
      if (forms.by_form[form] == id) return static_cast<PluralForm>(form);
    }
  }
  return PluralForm::kOther;
}

std::string CountedText(const UiTexts& texts, UiText counted, uint32_t number) {
  const CountedForms forms = FormsOf(counted);
  const PluralForm form = PluralFormOf(texts[UiText::kPlural], number);
  const std::string& chosen = texts[forms.by_form[static_cast<size_t>(form)]];
  const bool fits =
      !chosen.empty() && (form != PluralForm::kOne || number == 1 || chosen.find("$N") != std::string::npos);
  return ReplaceAll(fits ? chosen : texts[forms.by_form[5]], "$N", DecimalText(static_cast<int32_t>(number)));
}

std::string FilledTemplate(std::string text, std::initializer_list<std::pair<const char*, std::string_view>> values) {
  // One pass: a value that holds a name ("$Why" in a path) stays as it is.
  std::string filled;
  for (size_t at = 0; at < text.size();) {
    bool replaced = false;
    for (const auto& value : values) {
      const std::string_view name = value.first;
      if (text.compare(at, name.size(), name) != 0) continue;
      filled.append(value.second.data(), value.second.size());
      at += name.size();
      replaced = true;
      break;
    }
    if (!replaced) filled += text[at++];
  }
  return filled;
}

UiTexts LoadUiTexts(FileReader& files, const std::string& settings_path) {
  UiTexts t;
  LoadUiTexts(files, settings_path, t);
  return t;
}

void LoadUiTexts(FileReader& files, const std::string& settings_path, UiTexts& t) {
  SettingsFile file;
  file.Open(files, settings_path);
  file.SelectGroup("Settings");
  t.program_name = file.ReadString("ProgName");
  const std::string version = file.ReadString("Version");
  file.SelectGroup("Language");
  t.right_to_left = EightBitFlag(file.ReadNumber(kRightToLeftKey, 0));
  for (size_t i = 0; i < std::size(kLanguageTexts); ++i) {
    std::string& text = t[static_cast<UiText>(i)];
    // The key Version names the number in [Settings] and the word before it
    // in [Language], which the name line's default holds.
    if (kLanguageTexts[i].id == UiText::kNameLine) text = "$Name (" + t[UiText::kVersion] + " $Version)";
    text = file.ReadString(kLanguageTexts[i].key, text);
  }
  file.Close();
  t.name_line = version.empty()
                    ? t.program_name
                    : FilledTemplate(t[UiText::kNameLine], {{"$Name", t.program_name}, {"$Version", version}});
  t[UiText::kMutex] = ReplaceAll(t[UiText::kMutex], "$Titel", t.program_name);
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
