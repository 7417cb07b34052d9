#pragma once
// Class Data Sharing=auto: the decisions about the application's own
// class-data archive, each from what it is given. What HotSpot can do
// depends on the runtime's version: from 19 on it maps its archive and
// rewrites it when stale by itself (AutoCreateSharedArchive); from 13 to 18
// the launcher maps a complete archive, or has the VM write one at exit
// under a name of its own and moves it into place once the VM has ended
// (class_data_archive.h). Older runtimes, VMs other than HotSpot and
// runtimes whose version cannot be read get nothing.

#include <cstdint>
#include <string>
#include <vector>

#include "base/environment.h"
#include "base/path.h"

namespace tarn {

enum class ClassDataMode {
  None,
  // 19 and later: -XX:+AutoCreateSharedArchive.
  AutoCreate,
  // 13 to 18: map a complete archive or write one at exit.
  MapOrWrite,
};

struct ClassDataChoice {
  ClassDataMode mode = ClassDataMode::None;
  // The runtime's feature version (17 for "17.0.9", 8 for "1.8.0_392"); 0
  // when unknown.
  int32_t feature = 0;
  // Why nothing is done, for the diagnose mode; empty otherwise.
  const wchar_t* reason = L"";
};

// From the runtime's "release" file text (empty when it could not be read)
// and the VM options assembled so far: an application that sets its own
// archive or turns sharing off (-Xshare:..., -XX:SharedArchiveFile=,
// -XX:ArchiveClassesAtExit=, -XX:[+-]AutoCreateSharedArchive,
// -XX:-UseSharedSpaces) gets nothing added.
ClassDataChoice chooseClassDataMode(const std::string& release, const std::vector<std::string>& vmOptions);

// The options for the mode: `archive` is mapped (AutoCreate: and rewritten
// by the VM when stale) or, with `write`, the archive the VM writes at its
// exit. The VM's own lines about archives are kept off the standard output
// stream: only the cds tags are turned off there (from 25 on the aot tags
// too; an older VM stops at a tag it does not know), and they come first,
// so that an application's own -Xlog options, which follow, still hold. The
// VM's own archive (AutoCreate) has the sums of its regions checked
// (-XX:+VerifySharedSpaces), which costs every start a few milliseconds; one
// the launcher keeps is checked by the launcher (class_data_archive.h).
std::vector<std::wstring> classDataOptions(const ClassDataChoice& choice, const std::wstring& archive, bool write);

// A file the archive depends on: its path, size and last-write time.
struct StampedFile {
  std::wstring path;
  uint64_t size = 0;
  uint64_t time = 0;
};

// What an archive is valid for, in its name: the launcher (`prefix`, so that
// two applications of the same name keep apart), and the runtime's VM
// library, each class path file and the VM parameters, with the sizes and
// times of the files (`key`): HotSpot refuses an archive when one of them
// changed, so a changed one gets an archive of its own.
struct ClassDataName {
  std::wstring prefix;  // "<8 hex digits>-"
  std::wstring key;     // "<16 hex digits>"
};
ClassDataName classDataNameFor(const std::wstring& launcher, const StampedFile& jvmLibrary,
                               const std::vector<StampedFile>& classPath, const std::wstring& vmParameters);

// The names in the archive folder. The VM's own archive (AutoCreate):
// prefix + key + ".jsa". One the launcher moved into place: prefix + key +
// "-" + its size in bytes + "-" + its sum (archiveSum, 16 hex digits) +
// ".jsa", so that a file cut short or damaged is known (a JDK 17 VM maps
// what it is given, and one cut short or damaged past its header can crash
// it). One being written: prefix + key + "." + the
// process id + ".tmp".
std::wstring autoArchiveName(const ClassDataName& name);
std::wstring completeArchiveName(const ClassDataName& name, uint64_t size, uint64_t sum);
std::wstring temporaryArchiveName(const ClassDataName& name, uint32_t processId);

// The size and sum that a complete archive's name gives; false for any
// other name.
bool parseCompleteArchiveName(const ClassDataName& name, const std::wstring& fileName, uint64_t& size, uint64_t& sum);

// The sum of an archive's bytes kept in its name.
uint64_t archiveSum(const std::string& bytes);

// Of the names found in the folder, those of this launcher (its prefix) to
// remove: all but `keep`, and, with `keepTemporaries`, all but the archives
// of this key being written by another start right now.
std::vector<std::wstring> staleArchiveNames(const std::vector<std::wstring>& names, const ClassDataName& name,
                                            const std::wstring& keep, bool keepTemporaries);

// The per-user folder of the application's archives, ending in a separator:
// Windows: %LOCALAPPDATA%\<application>\class-data\ (without that variable,
// as in a service's environment, %USERPROFILE%\AppData\Local); POSIX:
// $XDG_CACHE_HOME/<application>/class-data/ when that is an absolute path,
// else $HOME/.cache/<application>/class-data/. Empty when neither is known.
std::wstring classDataFolder(const std::wstring& application, const PathStyle& style, const VariableLookup& lookup);

// The start of an archive that HotSpot finished writing: the dynamic
// archive's magic number, which it writes last, with the header.
bool isFinishedDynamicArchive(const std::string& start);

}  // namespace tarn
