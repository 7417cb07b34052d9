// Reads back what a stamped launcher carries, through the system's own
// resource and version functions, and prints it as UTF-8 lines:
//   icons: <number of RT_ICON resources>
//   group <name>: <entries>
//   icon <id>: <width>x<height> <bits> bpp <bytes> bytes fnv <hash of the image>
//   version: file a.b.c.d product a.b.c.d
//   translation: <language> <code page>
//   <string name>: <value>         (each of kStringNames that is present)
//   manifest:                       (then its text, as it is)
//   settings:                       (then RCDATA 8000 as text, when present)
// Usage: stampcheck FILE. Exit status 0 when the file could be read.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

const wchar_t* const kStringNames[] = {L"ProductName",      L"CompanyName",  L"FileDescription",
                                       L"LegalCopyright",   L"OriginalFilename", L"InternalName",
                                       L"ProductVersion",   L"FileVersion"};

void print(const std::wstring& text) {
  int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string bytes(size, '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
  fwrite(bytes.data(), 1, bytes.size(), stdout);
}

uint32_t fnv1a(const unsigned char* data, size_t size) {
  uint32_t hash = 2166136261u;
  for (size_t i = 0; i < size; ++i) hash = (hash ^ data[i]) * 16777619u;
  return hash;
}

bool resourceBytes(HMODULE module, const wchar_t* name, const wchar_t* type, const unsigned char*& data,
                   DWORD& size) {
  HRSRC found = FindResourceW(module, name, type);
  if (found == nullptr) return false;
  size = SizeofResource(module, found);
  HGLOBAL loaded = LoadResource(module, found);
  data = loaded != nullptr ? static_cast<const unsigned char*>(LockResource(loaded)) : nullptr;
  return data != nullptr;
}

BOOL CALLBACK countName(HMODULE, LPCWSTR, LPWSTR, LONG_PTR count) {
  ++*reinterpret_cast<int*>(count);
  return TRUE;
}

BOOL CALLBACK firstName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out) {
  *reinterpret_cast<std::wstring*>(out) =
      IS_INTRESOURCE(name) ? L"#" + std::to_wstring(reinterpret_cast<uintptr_t>(name)) : std::wstring(name);
  return FALSE;
}

void printIcons(HMODULE module) {
  int icons = 0;
  EnumResourceNamesW(module, RT_ICON, countName, reinterpret_cast<LONG_PTR>(&icons));
  print(L"icons: " + std::to_wstring(icons) + L"\n");
  std::wstring group;
  EnumResourceNamesW(module, RT_GROUP_ICON, firstName, reinterpret_cast<LONG_PTR>(&group));
  const unsigned char* data = nullptr;
  DWORD size = 0;
  if (group.empty() || !resourceBytes(module, group.c_str(), RT_GROUP_ICON, data, size) || size < 6) return;
  const unsigned count = data[4] | (data[5] << 8);
  print(L"group " + group + L": " + std::to_wstring(count) + L"\n");
  for (unsigned i = 0; i < count && 6 + 14 * (i + 1) <= size; ++i) {
    const unsigned char* entry = data + 6 + 14 * i;
    const unsigned width = entry[0] == 0 ? 256 : entry[0];
    const unsigned height = entry[1] == 0 ? 256 : entry[1];
    const unsigned bits = entry[6] | (entry[7] << 8);
    const unsigned id = entry[12] | (entry[13] << 8);
    const unsigned char* image = nullptr;
    DWORD imageSize = 0;
    if (!resourceBytes(module, MAKEINTRESOURCEW(id), RT_ICON, image, imageSize)) {
      print(L"icon " + std::to_wstring(id) + L": missing\n");
      continue;
    }
    wchar_t hash[16];
    swprintf(hash, 16, L"%08x", fnv1a(image, imageSize));
    print(L"icon " + std::to_wstring(id) + L": " + std::to_wstring(width) + L"x" + std::to_wstring(height) + L" " +
          std::to_wstring(bits) + L" bpp " + std::to_wstring(imageSize) + L" bytes fnv " + hash + L"\n");
  }
}

std::wstring dotted(DWORD high, DWORD low) {
  return std::to_wstring(HIWORD(high)) + L"." + std::to_wstring(LOWORD(high)) + L"." + std::to_wstring(HIWORD(low)) +
         L"." + std::to_wstring(LOWORD(low));
}

void printVersion(const wchar_t* file) {
  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(file, &ignored);
  if (size == 0) {
    print(L"version: none\n");
    return;
  }
  std::vector<unsigned char> block(size);
  if (!GetFileVersionInfoW(file, 0, size, block.data())) return;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) && length >= sizeof(*fixed)) {
    print(L"version: file " + dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS) + L" product " +
          dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS) + L"\n");
  }
  WORD* translation = nullptr;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                      &length) ||
      length < 4) {
    return;
  }
  wchar_t table[16];
  swprintf(table, 16, L"%04x%04x", translation[0], translation[1]);
  print(L"translation: " + std::wstring(table, 4) + L" " + std::wstring(table + 4) + L"\n");
  for (const wchar_t* name : kStringNames) {
    wchar_t* value = nullptr;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\") + table + L"\\" + name;
    if (VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) && value != nullptr) {
      print(std::wstring(name) + L": " + value + L"\n");
    }
  }
}

void printText(HMODULE module, const wchar_t* heading, const wchar_t* name, const wchar_t* type, bool utf16) {
  const unsigned char* data = nullptr;
  DWORD size = 0;
  if (!resourceBytes(module, name, type, data, size)) return;
  print(std::wstring(heading) + L"\n");
  if (utf16) {
    std::wstring text(reinterpret_cast<const wchar_t*>(data), size / 2);
    if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
    print(text);
  } else {
    fwrite(data, 1, size, stdout);
  }
  print(L"\n");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    fputs("usage: stampcheck FILE\n", stderr);
    return 2;
  }
  _setmode(_fileno(stdout), _O_BINARY);  // the text as it is, LF and CR LF alike
  HMODULE module = LoadLibraryExW(argv[1], nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (module == nullptr) {
    fprintf(stderr, "stampcheck: cannot open the file (error %lu)\n", GetLastError());
    return 1;
  }
  printIcons(module);
  printVersion(argv[1]);
  printText(module, L"manifest:", MAKEINTRESOURCEW(1), RT_MANIFEST, false);
  printText(module, L"settings:", MAKEINTRESOURCEW(8000), RT_RCDATA, true);
  FreeLibrary(module);
  return 0;
}
