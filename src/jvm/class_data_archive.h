#pragma once
// Class Data Sharing=auto around the VM's life: before it is created, the
// archive folder tidied and the options chosen (class_data_sharing.h); once
// it has ended, an archive it wrote moved into place.
//
// From 13 to 18 the VM writes its archive at exit into a file of this
// process's own (created empty first, which also proves the folder
// writable). Only after the VM has ended, and only when the file starts
// with the magic number that HotSpot writes last, is it renamed, in one
// step, to a name that holds its size. A later start maps only such a name
// whose file has that size and that magic number: an archive cut short, half
// written, or being written by another start at the same moment is never
// mapped. Other damage HotSpot finds itself, and without -Xshare:on it then
// runs without the archive.

#include <string>

#include "jvm/jvm_option_list.h"

namespace tarn {

struct ClassDataRequest {
  // The launcher's executable: its name names the folder, its path the files.
  std::wstring launcher;
  std::wstring jvmLibrary;
  // As assembleClassPath gave it.
  std::wstring classPath;
  // Virtual Machine Parameters as configured.
  std::wstring vmParameters;
};

// Puts the options for the application's archive in front of `options`
// (which hold the application's own VM parameters), or adds nothing; the
// diagnose mode tells which archive, and whether it is mapped, written or
// skipped, and why. Never fails a start.
void prepareClassDataArchive(const ClassDataRequest& request, JvmOptionList& options);

// Once the VM has ended (DestroyJavaVM returned, or from its exit hook):
// the archive it wrote at exit moved into place, or the unfinished file
// removed. Nothing the second time, or when nothing was to be written.
void adoptWrittenArchive();

}  // namespace tarn
