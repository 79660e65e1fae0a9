#include "driver/what_stayed.h"

#include <algorithm>

#include "driver/removal_steps.h"
#include "removal/file_removal.h"
#include "removal/file_system.h"
#include "text/text.h"

// Once for each path, however often the file names it.
void NoteStayed(UninstallRun& run, const EntryReport& report) {
  if (report.outcome == Outcome::kRemoved || report.outcome == Outcome::kAbsent) return;
  const std::string path = UpperCase(report.path);
  for (const StayedItem& item : run.stayed) {
    if (UpperCase(item.path) == path) return;
  }
  run.stayed.push_back({report.path, report.outcome, report.outcome == Outcome::kFailed ? report.error : 0});
}

// Each directory that stayed is named for the user's entries it holds, as it
// stands once the removal is done: not what Ready and the batch take, not
// what stayed on a line of its own or lies below one, not a file left to the
// restart under its passing name. A directory that holds nothing else stays
// off the list. The own directory comes last, when the removal succeeded; a
// value of Ready's that leads outside is listed as staying.
void NameWhatDirectoriesHold(UninstallRun& run, const RunPlatform& platform) {
  const std::string& own = run.settings.own_directory;
  // In capitals: what is not the user's, at or below each of them.
  std::vector<std::string> setups = {UpperCase(own + FileNameOf(platform.system.ModulePath()))};
  if (run.removal_succeeded) {
    std::string relative;
    for (const std::string& value : ValuesReadyTakes(run.settings)) {
      if (RelativePathBelow(value, relative)) {
        setups.push_back(UpperCase(own + relative));
      } else {
        NoteStayed(run, {own + value, false, Outcome::kOutside, 0, 0});
      }
    }
    run.stayed.push_back({WithoutTrailingBackslashes(own), Outcome::kNotEmpty});
  }
  for (const StayedItem& item : run.stayed) setups.push_back(UpperCase(item.path));
  std::vector<StayedItem> named;
  for (StayedItem& item : run.stayed) {
    const size_t line = named.size();
    named.push_back(std::move(item));
    if (named[line].outcome != Outcome::kNotEmpty || named[line].kind != StayedItem::kEntry) continue;
    // A folder with something of the setup's below it is looked into, so
    // that what stayed never hides the user's entries beside it.
    std::vector<std::string> folders = {named[line].path + "\\"};
    while (!folders.empty()) {
      const std::string directory = folders.back();
      folders.pop_back();
      for (const HeldEntry& entry : platform.files.EntriesOf(directory)) {
        const std::string path = UpperCase(directory + entry.name);
        bool setups_own = IsInUseName(entry.name), holds_setups = false;
        for (const std::string& setup : setups) {
          const bool at_or_below =
              setup.compare(0, path.size(), path) == 0 && (setup.size() == path.size() || setup[path.size()] == '\\');
          setups_own = setups_own || (at_or_below && setup.size() == path.size());
          holds_setups = holds_setups || (at_or_below && setup.size() > path.size());
        }
        // A link is named as what it is, never looked through.
        const bool folder = entry.directory && !entry.link;
        if (setups_own || (holds_setups && !folder)) continue;
        const std::string name = entry.name + (folder ? "\\" : "");
        if (holds_setups) {
          folders.push_back(directory + name);
          if (platform.told) {
            run.notes.push_back("note: the folder " + directory + entry.name +
                                " holds installed files, but no [Dirs] value names it, so it stays");
          }
          continue;
        }
        const StayedItem::Kind kind = entry.link ? StayedItem::kUsersLink
                                      : folder   ? StayedItem::kUsersDirectory
                                                 : StayedItem::kUsersFile;
        named.push_back({directory.substr(std::min(own.size(), directory.size())) + name, Outcome::kNotEmpty,
                         folder ? static_cast<uint32_t>(platform.files.EntriesOf(directory + name).size()) : 0, kind});
      }
    }
    named[line].number = static_cast<uint32_t>(named.size() - line - 1);
    if (named[line].number == 0) named.pop_back();
  }
  run.stayed = std::move(named);
}

// What the setup listed and delete-all left, which reads no [Files] value,
// is the setup's, never the user's; what Ready and the batch take is left
// to them.
void NoteListedFilesDeleteAllLeft(UninstallRun& run, const RunPlatform& platform,
                                  const std::vector<std::string>& listed) {
  const UninstallSettings& settings = run.settings;
  std::vector<std::string> later = {UpperCase(FileNameOf(platform.system.ModulePath()))};
  std::string relative;
  for (const std::string& value : ValuesReadyTakes(settings)) {
    if (RelativePathBelow(value, relative)) later.push_back(UpperCase(relative));
  }
  for (const std::string& value : listed) {
    if (RelativePathBelow(value, relative) && !relative.empty() &&
        std::find(later.begin(), later.end(), UpperCase(relative)) == later.end() &&
        platform.files.FileExists(settings.own_directory + relative)) {
      run.stayed.push_back({settings.own_directory + relative, Outcome::kNotEmpty, 0, StayedItem::kKeptByDeleteAll});
    }
  }
}

namespace {

std::string StayedLine(const StayedItem& item, const UiTexts& texts) {
  const auto entry = [&](const std::string& what) {
    return "  " + FilledTemplate(texts[UiText::kEntryLine], {{"$Path", item.path}, {"$What", what}});
  };
  const auto stayed = [&](const std::string& why) {
    return FilledTemplate(texts[UiText::kStayedLine], {{"$Path", item.path}, {"$Why", why}});
  };
  switch (item.kind) {
    case StayedItem::kUsersFile:
      return "  " + item.path;
    case StayedItem::kUsersLink:
      return entry(texts[UiText::kLinkEntry]);
    case StayedItem::kKeptByDeleteAll:
      return stayed(texts[UiText::kWhyListedKept]);
    case StayedItem::kUsersDirectory:
      return entry(CountedText(texts, UiText::kEntries, item.number));
    case StayedItem::kEntry:
      break;
  }
  // A folder's count of the user's entries; another outcome's number is the platform's error.
  return stayed(item.outcome == Outcome::kNotEmpty
                    ? CountedText(texts, UiText::kWhyHeld, item.number)
                    : ReplaceAll(texts[Why(item.outcome)], "$N", DecimalText(static_cast<int32_t>(item.number))));
}

}  // namespace

std::string StayedText(const UninstallRun& run, const UiTexts& texts, const char* line_end, size_t most) {
  std::string text;
  const size_t listed = std::min(run.stayed.size(), most);
  for (size_t i = 0; i < listed; ++i) AppendTexts(text, {i == 0 ? "" : "\r\n", StayedLine(run.stayed[i], texts)});
  if (listed < run.stayed.size()) {
    AppendTexts(text, {"\r\n", CountedText(texts, UiText::kMore, static_cast<uint32_t>(run.stayed.size() - listed))});
  }
  return text + line_end;
}
