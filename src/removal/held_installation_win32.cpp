#include "removal/held_installation_win32.h"

#include "removal/nt_entries_win32.h"

bool HeldInstallation::Hold(const std::string& own_directory, const std::vector<std::string>& kept) {
  Release();
  own_ = own_directory;
  root_ = OpenDirectoryAt(own_directory, kHoldAccess);
  root_error_ = root_.Valid() ? 0 : GetLastError();
  for (const std::string& path : kept) kept_ += Wide(path + "|");
  return root_.Valid();
}

void HeldInstallation::Release() {
  while (!chain_.empty()) chain_.pop_back();
  chain_path_.clear();
  root_.Reset();
  kept_.clear();
}

void HeldInstallation::Report(RemovalListener& listener, bool directory, RemovalResult result, uint32_t held) const {
  EntryReport report;
  if (listener.name_every_entry || result.outcome != Outcome::kRemoved) {
    report.path = own_;
    AppendNarrow(report.path, relative_);
  }
  report.directory = directory;
  report.outcome = result.outcome;
  report.error = result.error;
  report.held = held;
  listener.Entry(report);
}

bool HeldInstallation::Kept() const {
  for (size_t start = 0, end; (end = kept_.find(L'|', start)) != std::wstring::npos; start = end + 1) {
    if (CompareStringOrdinal(kept_.data() + start, static_cast<int>(end - start), relative_.data(),
                             static_cast<int>(relative_.size()), TRUE) == CSTR_EQUAL) {
      return true;
    }
  }
  return false;
}

RemovalResult HeldInstallation::HoldParents(size_t parents_end) {
  size_t kept = 0;
  while (kept < chain_.size()) {
    const size_t end = chain_[kept].end;
    if (end > parents_end || relative_.compare(0, end, chain_path_, 0, end) != 0 || relative_[end] != L'\\') break;
    ++kept;
  }
  while (chain_.size() > kept) chain_.pop_back();
  chain_path_.assign(relative_, 0, parents_end);
  for (size_t start = kept == 0 ? 0 : chain_.back().end + 1; start < parents_end;) {
    size_t end = relative_.find(L'\\', start);
    if (end > parents_end) end = parents_end;
    SeenEntry seen;
    const NTSTATUS status = LookUp(Innermost(), &relative_[start], end - start, seen, *changes_);
    if (!NT_SUCCESS(status)) return Failure(status);
    if (IsDirectoryLink(seen)) return {Outcome::kThroughLink, 0};
    Held held{KernelHandle(), end};
    const RemovalResult result =
        OpenChecked(Innermost(), &relative_[start], end - start, seen, kHoldAccess, held.handle);
    if (result.outcome != kOpened) return result;
    chain_.push_back(std::move(held));
    start = end + 1;
  }
  return {kOpened, 0};
}

RemovalResult HeldInstallation::RemoveFile(HANDLE directory, size_t name, bool clear_attributes) {
  // A file, or a link to one, goes by its name here: a directory put in its
  // place is refused by the open.
  const wchar_t* text = &relative_[name];
  const size_t length = relative_.size() - name;
  KernelHandle file;
  NTSTATUS status = changes_->OpenFileToDelete(directory, text, length, file);
  if (status == kCannotDelete) {
    constexpr ACCESS_MASK kAccess = DELETE | FILE_READ_ATTRIBUTES;
    NTSTATUS opened = OpenBelow(directory, text, length, kAccess | (clear_attributes ? FILE_WRITE_ATTRIBUTES : 0),
                                kShareAll, FILE_NON_DIRECTORY_FILE, file);
    // Wine refuses leave to write the attributes of a read-only file, and
    // changes them without it.
    if (opened == kAccessDenied)
      opened = OpenBelow(directory, text, length, kAccess, kShareAll, FILE_NON_DIRECTORY_FILE, file);
    if (NT_SUCCESS(opened)) status = changes_->Mark(file.Get(), clear_attributes);
    // Refused although it is not read-only: a running program or a loaded
    // library, which may still be renamed.
    SeenEntry seen;
    if (status == kCannotDelete && IdentityOf(file.Get(), seen) && (seen.attributes & FILE_ATTRIBUTE_READONLY) == 0) {
      return LeaveToRestart(file.Get(), directory, relative_.substr(name), *changes_);
    }
  }
  return Done(status);
}

RemovalResult HeldInstallation::RemoveEntry(HANDLE parent, size_t name, const SeenEntry& seen, bool tree,
                                            uint32_t& held, RemovalListener& listener) {
  const wchar_t* text = &relative_[name];
  const size_t length = relative_.size() - name;
  if (!IsDirectory(seen.attributes)) return RemoveFile(parent, name, tree);
  if (IsDirectoryLink(seen)) return RemoveLink(parent, text, length);
  // Only what is all on disk can be seen to be empty.
  if (!tree && MayHoldUnlisted(seen.attributes)) return {Outcome::kNotEmpty, ERROR_DIR_NOT_EMPTY};
  KernelHandle directory;
  const RemovalResult opened =
      OpenChecked(parent, text, length, seen, kRemoveAccess | (tree ? FILE_WRITE_ATTRIBUTES : 0), directory);
  if (opened.outcome != kOpened) return opened;
  NTSTATUS status = 0;
  uint32_t scheduled = 0;
  held = tree ? Empty(directory.Get(), true, scheduled, listener)
              : CountEntries(directory.Get(), status, scheduled, *changes_);
  if (held == 0 && !NT_SUCCESS(status)) return Failure(status);
  return Finish(directory.Get(), held, scheduled, tree);
}

RemovalResult HeldInstallation::RemoveLink(HANDLE parent, const wchar_t* name, size_t length) {
  // Only the link goes, and only where the platform opens the link itself:
  // elsewhere the handle holds what it points to, and the link stays.
  KernelHandle link;
  const NTSTATUS status = OpenBelow(parent, name, length, DELETE | FILE_READ_ATTRIBUTES, kShareAll, 0, link);
  SeenEntry now;
  if (NT_SUCCESS(status) && (!IdentityOf(link.Get(), now) || !IsReparsePoint(now.attributes))) {
    return {Outcome::kLink, 0};
  }
  return Done(NT_SUCCESS(status) ? changes_->Mark(link.Get(), false) : status);
}

RemovalResult HeldInstallation::Finish(HANDLE directory, uint32_t held, uint32_t scheduled, bool tree) {
  // What holds only what the restart removes goes with it, after it.
  if (held > 0 && held == scheduled) {
    const RemovalResult result = changes_->ScheduleForRestart(directory);
    return result.outcome == Outcome::kAtRestart ? result : RemovalResult{Outcome::kNotEmpty, result.error};
  }
  if (held > 0) return {Outcome::kNotEmpty, ERROR_DIR_NOT_EMPTY};
  return Done(changes_->Mark(directory, tree));
}

uint32_t HeldInstallation::Empty(HANDLE directory, bool recurse, uint32_t& scheduled, RemovalListener& listener) {
  // Its own stack of held directories, one level each, so that a tree of any
  // depth is walked in memory that grows with it, never on the process's stack.
  struct Level {
    KernelHandle handle;  // of a directory below the first; the first is the caller's
    Listing listing;
    size_t length;  // of its path in relative_
    uint32_t held;
    uint32_t scheduled;
  };
  std::vector<Level> levels;
  levels.push_back({KernelHandle(), Listing(directory), relative_.size(), 0, 0});
  for (;;) {
    Level& level = levels.back();
    const ListedEntry* entry = level.listing.Next();
    if (entry != nullptr &&
        changes_->GoneBelow(level.listing.Directory(), entry->name, entry->name_bytes / sizeof(wchar_t))) {
      continue;
    }
    relative_.resize(level.length);
    if (entry == nullptr) {
      if (!NT_SUCCESS(level.listing.status)) {
        ++level.held;
        Report(listener, true, Failure(level.listing.status));
      }
      if (levels.size() == 1) break;
      const RemovalResult result = Finish(level.handle.Get(), level.held, level.scheduled, true);
      const uint32_t held = level.held;
      levels.pop_back();
      levels.back().held += Stays(result.outcome) ? 1 : 0;
      levels.back().scheduled += result.outcome == Outcome::kAtRestart ? 1 : 0;
      Report(listener, true, result, held);
      continue;
    }
    if (level.length > 0) relative_ += L'\\';
    const size_t name = relative_.size();
    relative_.append(entry->name, entry->name_bytes / sizeof(wchar_t));
    const SeenEntry seen{entry->attributes, entry->reparse_tag, entry->id.QuadPart};
    const bool is_directory = IsDirectory(seen.attributes);
    if (is_directory ? !recurse : Kept()) {
      ++level.held;
      continue;
    }
    RemovalResult result;
    if (is_directory && !IsDirectoryLink(seen)) {
      KernelHandle below;
      result = OpenChecked(level.listing.Directory(), &relative_[name], relative_.size() - name, seen,
                           kRemoveAccess | FILE_WRITE_ATTRIBUTES, below);
      if (result.outcome == kOpened) {
        const HANDLE held = below.Get();
        levels.push_back({std::move(below), Listing(held), relative_.size(), 0, 0});
        continue;
      }
    } else {
      result = is_directory ? RemoveLink(level.listing.Directory(), &relative_[name], relative_.size() - name)
                            : RemoveFile(level.listing.Directory(), name, true);
    }
    level.held += Stays(result.outcome) ? 1 : 0;
    level.scheduled += result.outcome == Outcome::kAtRestart ? 1 : 0;
    Report(listener, is_directory, result);
  }
  relative_.resize(levels.front().length);
  scheduled += levels.front().scheduled;
  return levels.front().held;
}

Outcome HeldInstallation::Remove(const std::string& relative, Removal how, RemovalListener& listener) {
  relative_ = Wide(relative);
  const bool directory = how != Removal::kFile && how != Removal::kFileClearing;
  const bool whole = how == Removal::kFiles || (how == Removal::kTree && relative.empty());
  if (!root_.Valid()) {
    Report(listener, directory, {Outcome::kFailed, root_error_});
    return Outcome::kFailed;
  }
  if (relative.empty() && !whole) return Outcome::kAbsent;
  const size_t name = whole ? relative_.size() : relative_.rfind(L'\\') + 1;
  RemovalResult result = HoldParents(whole || name == 0 ? name : name - 1);
  uint32_t held = 0;
  if (result.outcome == kOpened && whole) {
    // The directory itself stays: it is the own directory, or holds it.
    KernelHandle again;
    const NTSTATUS status = Reopen(Innermost(), again);
    if (!NT_SUCCESS(status)) return Failure(status).outcome;
    uint32_t scheduled = 0;
    return Empty(again.Get(), how == Removal::kTree, scheduled, listener) > 0 ? Outcome::kNotEmpty : Outcome::kRemoved;
  }
  if (result.outcome == kOpened && directory) {
    // A directory is looked up first: what the listing shows decides.
    SeenEntry seen;
    const NTSTATUS status = LookUp(Innermost(), &relative_[name], relative_.size() - name, seen, *changes_);
    seen.attributes |= FILE_ATTRIBUTE_DIRECTORY;
    result = NT_SUCCESS(status) ? RemoveEntry(Innermost(), name, seen, how == Removal::kTree, held, listener)
                                : Failure(status);
  } else if (result.outcome == kOpened) {
    result = RemoveFile(Innermost(), name, how == Removal::kFileClearing);
  }
  Report(listener, directory, result, held);
  return result.outcome;
}
