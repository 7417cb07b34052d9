#include "jvm/search_paths.h"

#include "base/text.h"

namespace tarn {
namespace {

std::wstring searchPathReference(const PathStyle& style) {
  return std::wstring(L"%") + style.searchPathVariable + L"%";
}

}  // namespace

std::wstring libraryPathText(const std::wstring& libraryPath, const std::wstring& moduleFolder,
                             const std::wstring& jvmLibraryPath, const PathStyle& style) {
  const wchar_t list = style.listSeparator;
  std::wstring text = libraryPath;
  if (text.empty() || text.back() != list) text += list;
  text += moduleFolder;
  text += list;
  text += L'.';
  text += list;
  text += searchPathReference(style);
  text += list;
  // The Java home with its trailing separator: C:\jre\bin\server\jvm.dll gives C:\jre\.
  const std::wstring binFolder = stripPathComponents(jvmLibraryPath, 2, style.separator);
  const size_t cut = binFolder.rfind(style.separator);
  if (cut != std::wstring::npos) text += binFolder.substr(0, cut + 1);
  text += L"lib";
  return text;
}

std::wstring searchPathText(const std::wstring& systemPath, const std::wstring& runtimeBinFolder,
                            const PathStyle& style) {
  std::wstring text = systemPath;
  if (!text.empty() && text.back() != style.listSeparator) text += style.listSeparator;
  text += searchPathReference(style);
  text += style.listSeparator;
  text += runtimeBinFolder;
  return text;
}

std::wstring expandSearchList(const std::wstring& text, const PathStyle& style, const VariableLookup& lookup) {
  std::wstring list;
  for (const std::wstring& entry : splitAtSeparator(text, style.listSeparator)) {
    bool undefined = false;
    const std::wstring expanded = expandReferences(entry, [&](const std::wstring& name, std::wstring& value) {
      if (lookup(name, value)) return true;
      undefined = true;
      return false;
    });
    if (undefined) continue;
    for (const std::wstring& piece : splitAtSeparator(expanded, style.listSeparator)) {
      if (piece.empty()) continue;
      if (!list.empty()) list += style.listSeparator;
      list += piece;
    }
  }
  return list;
}

std::wstring fitSearchList(const std::wstring& list, const PathStyle& style) {
  const size_t longest = style.longestVariableValue;
  if (longest == 0 || list.size() <= longest) return list;
  const size_t lastStart = list.rfind(style.listSeparator);
  if (lastStart == std::wstring::npos) return list;
  std::wstring head = list.substr(0, lastStart);
  const size_t lastLength = list.size() - lastStart;  // with its separator
  while (!head.empty() && head.size() + lastLength > longest) {
    const size_t cut = head.rfind(style.listSeparator);
    head.erase(cut == std::wstring::npos ? 0 : cut);
  }
  return head.empty() ? list.substr(lastStart + 1) : head + list.substr(lastStart);
}

}  // namespace tarn
