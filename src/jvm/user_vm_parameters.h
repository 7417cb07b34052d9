#pragma once
// The Virtual Machine Parameters of the per-user file (User VM Parameters):
// a user may size the VM, never choose the code it runs.

#include <string>
#include <vector>

namespace tarn {

// True for a parameter that loads or picks code, or runs a command: agents,
// the boot or application class path, the module path and patches, a
// class loader, a security manager, policy or properties file, native
// library paths, an options file (which could hold any of them), a class
// data archive, a command on error and the JVMCI compiler. Exact case, as the VM reads its options.
bool choosesCode(const std::wstring& parameter);

// Appends the parameters that choosesCode lets through, each after its
// environment references were expanded; each one refused is written as a
// message naming the per-user file.
void appendUserVmParameters(const std::vector<std::wstring>& parameters, const std::wstring& userFile,
                            std::vector<std::wstring>& out);

}  // namespace tarn
