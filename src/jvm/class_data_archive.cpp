#include "jvm/class_data_archive.h"

#include <algorithm>
#include <cstdint>

#include "base/diagnosis.h"
#include "base/environment.h"
#include "base/file_system.h"
#include "base/path.h"
#include "base/text.h"
#include "discovery/release_file.h"
#include "jvm/class_data_sharing.h"
#include "jvm/jvm_parameters.h"
#include "jvm/search_paths.h"

namespace tarn {
namespace {

// Below this, a start writes no archive: HotSpot ends the process with an
// error when the disk fills while it writes one.
constexpr uint64_t kFreeSpaceForWriting = 256ull * 1024 * 1024;

// The archive being written at exit, until adoptWrittenArchive moves it.
struct PendingArchive {
  std::wstring temporary;
  std::wstring folder;
  ClassDataName name;
};
PendingArchive pending;

void skip(const wchar_t* reason) {
  if (diagnosing()) diagnose("class data archive: none, %s", reason);
}

// The class path's files with their sizes and times; false when an entry is
// a folder, which HotSpot cannot archive: its dump would end the VM with an
// error at exit.
bool stampClassPath(const std::wstring& classPath, std::vector<StampedFile>& files) {
  for (std::wstring& entry : splitAtSeparator(classPath, nativePathStyle().listSeparator)) {
    if (entry.empty()) continue;
    StampedFile file;
    if (!fileSizeAndTime(entry, file.size, file.time) && pathExists(entry)) return false;
    file.path = std::move(entry);
    files.push_back(std::move(file));
  }
  return true;
}

void removeStale(const std::wstring& folder, const std::vector<std::wstring>& names, const ClassDataName& name,
                 const std::wstring& keep, bool keepTemporaries) {
  for (const std::wstring& stale : staleArchiveNames(names, name, keep, keepTemporaries)) {
    const bool removed = removeFile(folder + stale);
    if (diagnosing()) {
      diagnose(removed ? "class data archive %s: removed, stale" : "class data archive %s: stale, cannot be removed",
               folder + stale);
    }
  }
}

// The file holds what HotSpot writes last, and the size and sum that its
// name gives: it was kept whole and has not changed since.
bool isComplete(const std::wstring& path, uint64_t namedSize, uint64_t namedSum) {
  std::string bytes;
  return readFileStart(path, SIZE_MAX, bytes) && bytes.size() == namedSize && isFinishedDynamicArchive(bytes) &&
         archiveSum(bytes) == namedSum;
}

std::wstring findComplete(const std::wstring& folder, const std::vector<std::wstring>& names,
                          const ClassDataName& name) {
  for (const std::wstring& file : names) {
    uint64_t size = 0;
    uint64_t sum = 0;
    if (!parseCompleteArchiveName(name, file, size, sum)) continue;
    if (isComplete(folder + file, size, sum)) return file;
    if (diagnosing()) diagnose("class data archive %s: passed over, changed since it was kept", folder + file);
  }
  return std::wstring();
}

void addOptions(JvmOptionList& options, const ClassDataChoice& choice, const std::wstring& archive, bool write) {
  std::vector<std::string> narrow;
  for (const std::wstring& option : classDataOptions(choice, archive, write)) narrow.push_back(toJvmCodePage(option));
  options.addFront(narrow);
}

}  // namespace

void prepareClassDataArchive(const ClassDataRequest& request, JvmOptionList& options) {
  const PathStyle& style = nativePathStyle();
  std::string release;
  readReleaseFile(withTrailingSeparator(runtimeHomeOf(request.jvmLibrary), style.separator) + L"release", release);
  const ClassDataChoice choice = chooseClassDataMode(release, options.options());
  if (choice.mode == ClassDataMode::None) return skip(choice.reason);

  StampedFile library{request.jvmLibrary};
  std::vector<StampedFile> classPath;
  if (!fileSizeAndTime(request.jvmLibrary, library.size, library.time)) return skip(L"the JVM library cannot be read");
  if (!stampClassPath(request.classPath, classPath)) return skip(L"the class path holds a folder");
  const std::wstring application = withoutExtension(fileNameOf(request.launcher, style));
  const std::wstring wanted = classDataFolder(application, style, readEnvironmentVariable);
  if (wanted.empty()) return skip(L"no per-user cache folder is known");
  const ClassDataName name = classDataNameFor(request.launcher, library, classPath, request.vmParameters);
  if (ensureParentDirectories(wanted + name.key) != 0) return skip(L"the cache folder cannot be made");
  // The VM reads the path as narrow text.
  const std::wstring folder = withTrailingSeparator(codePageSafePath(wanted), style.separator);
  if (folder.empty()) return skip(L"the cache folder's path has no form in the code page");
  const std::vector<std::wstring> names = matchingNames(folder + name.prefix + L'*');

  if (choice.mode == ClassDataMode::AutoCreate) {
    const std::wstring archive = autoArchiveName(name);
    removeStale(folder, names, name, archive, false);
    if (!pathExists(folder + archive) && freeBytesAt(folder) < kFreeSpaceForWriting) {
      return skip(L"too little free space to write one");
    }
    addOptions(options, choice, folder + archive, false);
    if (diagnosing()) {
      diagnose("class data archive %s: the VM maps it, or writes it when missing or stale", folder + archive);
    }
    return;
  }

  const std::wstring complete = findComplete(folder, names, name);
  if (!complete.empty()) {
    removeStale(folder, names, name, complete, false);
    addOptions(options, choice, folder + complete, false);
    if (diagnosing()) {
      diagnose("class data archive %s: handed to the VM to map, its size and sum agree", folder + complete);
    }
    return;
  }
  removeStale(folder, names, name, std::wstring(), true);
  if (freeBytesAt(folder) < kFreeSpaceForWriting) return skip(L"too little free space to write one");
  const std::wstring temporary = folder + temporaryArchiveName(name, currentProcessId());
  if (!createNewFile(temporary)) return skip(L"the cache folder cannot be written");
  pending = PendingArchive{temporary, folder, name};
  addOptions(options, choice, temporary, true);
  if (diagnosing()) diagnose("class data archive %s: written at exit (none is complete yet)", temporary);
}

// Two starts that finished at the same moment may each have kept one: every
// start that keeps one then leaves only the first by name of those there,
// so that both leave the same one.
void keepFirstArchive(const std::wstring& folder, const ClassDataName& name) {
  std::vector<std::wstring> kept;
  for (const std::wstring& file : matchingNames(folder + name.prefix + L'*')) {
    uint64_t size = 0;
    uint64_t sum = 0;
    if (parseCompleteArchiveName(name, file, size, sum)) kept.push_back(file);
  }
  if (kept.size() < 2) return;
  std::sort(kept.begin(), kept.end());
  for (size_t i = 1; i < kept.size(); ++i) {
    removeFile(folder + kept[i]);
    if (diagnosing()) diagnose("class data archive %s: removed, another start kept %s at the same moment",
                               folder + kept[i], kept[0]);
  }
}

void adoptWrittenArchive() {
  if (pending.temporary.empty()) return;
  const PendingArchive written = std::move(pending);
  pending = PendingArchive();
  std::string bytes;
  const bool finished = readFileStart(written.temporary, SIZE_MAX, bytes) && isFinishedDynamicArchive(bytes);
  // Another start of the same application that wrote one at the same moment
  // was first: its archive is as good.
  const bool taken =
      finished &&
      !findComplete(written.folder, matchingNames(written.folder + written.name.prefix + L'*'), written.name).empty();
  const std::wstring archive = written.folder + completeArchiveName(written.name, bytes.size(), archiveSum(bytes));
  if (finished && !taken && replaceFile(written.temporary, archive)) {
    if (diagnosing()) diagnose("class data archive %s: written, kept for the next start", archive);
    keepFirstArchive(written.folder, written.name);
    return;
  }
  removeFile(written.temporary);
  if (diagnosing()) {
    diagnose(taken ? "class data archive %s: removed, another start kept one first"
                   : "class data archive %s: removed, the VM did not finish it",
             written.temporary);
  }
}

}  // namespace tarn
