// Windows: environment variables, their expansion, and the directory search
// behind wildcard and relative class path entries.
#include <windows.h>

#include <vector>

#include "base/path.h"
#include "base/path_win.h"
#include "base/scoped_handle_win.h"
#include "jvm/jvm_configuration.h"

namespace tarn {
namespace {

// ExpandEnvironmentStringsW reads and writes at most this many characters,
// terminator included (the largest counted string of the system).
constexpr DWORD kLongestExpansion = 32767;

enum class SystemExpansion { Done, Failed, TooLong };

SystemExpansion expandWithSystem(const std::wstring& text, std::wstring& out) {
  if (text.size() >= kLongestExpansion) return SystemExpansion::TooLong;
  // ExpandEnvironmentStringsW returns the size the expansion needs, terminator
  // included; more than the buffer's size means it did not fit; 0 is failure.
  DWORD size = ExpandEnvironmentStringsW(text.c_str(), nullptr, 0);
  for (int attempt = 0; attempt < 4; ++attempt) {
    if (size == 0) return SystemExpansion::Failed;
    if (size > kLongestExpansion) return SystemExpansion::TooLong;
    std::vector<wchar_t> buffer(size);
    DWORD needed = ExpandEnvironmentStringsW(text.c_str(), buffer.data(), size);
    if (needed == 0) return SystemExpansion::Failed;
    if (needed <= size) {
      out.assign(buffer.data());  // up to the first zero character
      return SystemExpansion::Done;
    }
    size = needed;  // a variable grew between the two calls
  }
  return SystemExpansion::Failed;
}

}  // namespace

void expandEnvironment(std::wstring& text) {
  // Without a "%" there is nothing to expand.
  if (text.find(L'%') == std::wstring::npos) return;
  std::wstring expanded;
  switch (expandWithSystem(text, expanded)) {
    case SystemExpansion::Done:
      text = std::move(expanded);
      return;
    case SystemExpansion::Failed:
      return;
    case SystemExpansion::TooLong:
      // A long class path must not be cut short: expand it reference by reference.
      text = expandReferences(text, readEnvironmentVariable);
      return;
  }
}

void setEnvironmentVariable(const std::wstring& name, const std::wstring& value) {
  SetEnvironmentVariableW(name.c_str(), value.c_str());
}

void removeEnvironmentVariable(const std::wstring& name) { SetEnvironmentVariableW(name.c_str(), nullptr); }

std::vector<std::wstring> matchingNames(const std::wstring& pattern) {
  std::vector<std::wstring> names;
  WIN32_FIND_DATAW data;
  ScopedFindHandle search(FindFirstFileW(longPathForm(pattern).c_str(), &data));
  if (!search) return names;
  do {
    names.emplace_back(data.cFileName);
  } while (FindNextFileW(search.get(), &data));
  return names;
}

std::wstring runtimeHomeOf(const std::wstring& jvmDllPath) { return stripPathComponents(jvmDllPath, 3, L'\\'); }

std::wstring runtimeBinFolderOf(const std::wstring& jvmDllPath) { return stripPathComponents(jvmDllPath, 2, L'\\'); }

}  // namespace tarn
