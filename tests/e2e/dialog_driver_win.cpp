// dialog_driver.exe: works the launcher's dialogs as a person would, from
// outside its process, with window messages only. Each argument is one step;
// the driver prints one line per step that reads something, and ends with
// status 0 when every step could be done, 1 otherwise (the failing step is
// named on standard output).
//
//   wait <caption>         waits up to 120 s for a visible dialog with that caption; later steps work on it
//   gone                   waits up to 60 s for that dialog to close
//   text <id>              prints "text <id>: <window text>"
//   message                prints "message: <text>" of a message box's text (its one static control with text)
//   enabled <id>           prints "enabled <id>: 0|1"
//   size <id>              prints "size <id>: <width>x<height>" (window rectangle)
//   click <id>             BM_CLICK on the control
//   char <id> <code>       WM_KEYDOWN and WM_CHAR of the character code to the control
//   escape                 the Escape key, as the dialog's modal loop receives it
//   closebox               the close box (WM_SYSCOMMAND SC_CLOSE)
//   browse <folder>        Browse..., then picks the folder in the folder browser's tree and presses its OK
//   browse-cancel          Browse..., then the folder browser's Cancel
//   cursor <id> <x> <y>    puts the mouse on the control's client point; prints "cursor: hand|other"
//   tooltip <id>           prints "tooltip <id>: <text of the control's tooltip>"
//   shot <file>            creates <file>, waits up to 60 s until the runner has removed it (a screenshot)
//   pixels <id> <rrggbb>   waits up to 20 s for the colour on the screen inside the control; prints
//                          "pixels <id> <rrggbb>: yes|no" (read from the screen, as a person sees it)
//   lines <file> <n>       waits up to 60 s until the file holds n lines; prints "line: <text>" for each
//   set-value <key> <name> <type> <hex> <32|64>
//                          writes a registry value byte for byte (NtSetValueKey; the registry
//                          functions add a missing terminator to a text); <key> begins with HKCU or HKLM
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

HWND dialog = nullptr;
std::wstring caption;

void say(const std::wstring& line) {
  // UTF-8 lines for the runner.
  const int size = WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, line.c_str(), -1, bytes.data(), size, nullptr, nullptr);
  std::printf("%s\n", bytes.c_str());
  std::fflush(stdout);
}

template <typename Test>
bool waitFor(Test test, DWORD milliseconds = 60000) {
  for (DWORD waited = 0; waited < milliseconds; waited += 50) {
    if (test()) return true;
    Sleep(50);
  }
  return test();
}

HWND item(const wchar_t* id) { return GetDlgItem(dialog, _wtoi(id)); }

// Window enumerations: the callbacks are stdcall on x86, which no lambda is.
struct OwnedDialogSearch {
  HWND owner;
  HWND found;
  static BOOL CALLBACK visit(HWND window, LPARAM context) {
    auto* s = reinterpret_cast<OwnedDialogSearch*>(context);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (GetWindow(window, GW_OWNER) == s->owner && wcscmp(name, L"#32770") == 0 && IsWindowVisible(window)) {
      s->found = window;
      return FALSE;
    }
    return TRUE;
  }
};

struct ClassSearch {
  const wchar_t* name;
  HWND found;
  static BOOL CALLBACK visit(HWND window, LPARAM context) {
    auto* s = reinterpret_cast<ClassSearch*>(context);
    wchar_t name[32] = {};
    GetClassNameW(window, name, 32);
    if (lstrcmpiW(name, s->name) == 0) {
      s->found = window;
      return FALSE;
    }
    return TRUE;
  }
};

// The visible dialog (#32770) owned by `owner`.
HWND ownedDialog(HWND owner) {
  OwnedDialogSearch search{owner, nullptr};
  EnumWindows(&OwnedDialogSearch::visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND childOfClass(HWND parent, const wchar_t* className) {
  ClassSearch search{className, nullptr};
  EnumChildWindows(parent, &ClassSearch::visit, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A page of memory in the dialog's process, for the messages that take a pointer.
class RemotePage {
 public:
  explicit RemotePage(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (process_ != nullptr) {
      page_ = static_cast<char*>(VirtualAllocEx(process_, nullptr, 8192, MEM_COMMIT, PAGE_READWRITE));
    }
  }
  ~RemotePage() {
    if (page_ != nullptr) VirtualFreeEx(process_, page_, 0, MEM_RELEASE);
    if (process_ != nullptr) CloseHandle(process_);
  }
  bool valid() const { return page_ != nullptr; }
  char* at(size_t offset) const { return page_ + offset; }
  bool write(size_t offset, const void* data, size_t size) {
    return WriteProcessMemory(process_, page_ + offset, data, size, nullptr) != 0;
  }
  bool read(size_t offset, void* data, size_t size) {
    return ReadProcessMemory(process_, page_ + offset, data, size, nullptr) != 0;
  }

 private:
  HANDLE process_ = nullptr;
  char* page_ = nullptr;
};

std::wstring treeItemText(HWND tree, RemotePage& page, HTREEITEM treeItem) {
  TVITEMW entry{};
  entry.mask = TVIF_TEXT;
  entry.hItem = treeItem;
  entry.pszText = reinterpret_cast<wchar_t*>(page.at(1024));
  entry.cchTextMax = 260;
  wchar_t empty = 0;
  page.write(1024, &empty, sizeof(empty));
  page.write(0, &entry, sizeof(entry));
  SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(page.at(0)));
  wchar_t text[261] = {};
  page.read(1024, text, 260 * sizeof(wchar_t));
  return text;
}

std::vector<HTREEITEM> children(HWND tree, HTREEITEM parent) {
  if (parent != nullptr) SendMessageW(tree, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
  std::vector<HTREEITEM> list;
  HTREEITEM child = reinterpret_cast<HTREEITEM>(
      SendMessageW(tree, TVM_GETNEXTITEM, parent == nullptr ? TVGN_ROOT : TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
  while (child != nullptr) {
    list.push_back(child);
    child = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(child)));
  }
  return list;
}

bool isDriveItem(const std::wstring& text, wchar_t drive) {
  const wchar_t bare[] = {drive, L':', 0};
  const wchar_t inParentheses[] = {L'(', drive, L':', L')', 0};
  return lstrcmpiW(text.c_str(), bare) == 0 || text.find(inParentheses) != std::wstring::npos ||
         (text.size() == 3 && lstrcmpiW(text.substr(0, 2).c_str(), bare) == 0);
}

// The tree item of `folder` (C:\a\b): the drive is looked for in the first
// three levels of the tree, each later component among the children.
HTREEITEM findFolder(HWND tree, RemotePage& page, const std::wstring& folder) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  while (start <= folder.size()) {
    size_t end = folder.find(L'\\', start);
    if (end == std::wstring::npos) end = folder.size();
    if (end > start) parts.push_back(folder.substr(start, end - start));
    start = end + 1;
  }
  if (parts.empty() || parts[0].size() != 2) return nullptr;
  HTREEITEM current = nullptr;
  std::vector<HTREEITEM> level = children(tree, nullptr);
  for (int depth = 0; depth < 3 && current == nullptr; ++depth) {
    std::vector<HTREEITEM> next;
    for (HTREEITEM candidate : level) {
      if (isDriveItem(treeItemText(tree, page, candidate), parts[0][0])) {
        current = candidate;
        break;
      }
    }
    if (current != nullptr) break;
    for (HTREEITEM candidate : level) {
      for (HTREEITEM child : children(tree, candidate)) next.push_back(child);
    }
    level = next;
  }
  for (size_t i = 1; current != nullptr && i < parts.size(); ++i) {
    HTREEITEM found = nullptr;
    for (HTREEITEM child : children(tree, current)) {
      if (lstrcmpiW(treeItemText(tree, page, child).c_str(), parts[i].c_str()) == 0) {
        found = child;
        break;
      }
    }
    current = found;
  }
  return current;
}

bool browse(const wchar_t* folder) {
  PostMessageW(GetDlgItem(dialog, 202), BM_CLICK, 0, 0);
  HWND browser = nullptr;
  if (!waitFor([&] { return (browser = ownedDialog(dialog)) != nullptr; })) return false;
  HWND tree = nullptr;
  if (!waitFor([&] { return (tree = childOfClass(browser, L"SysTreeView32")) != nullptr; })) return false;
  if (folder == nullptr) {
    PostMessageW(GetDlgItem(browser, IDCANCEL), BM_CLICK, 0, 0);
  } else {
    RemotePage page(tree);
    if (!page.valid()) return false;
    HTREEITEM target = findFolder(tree, page, folder);
    if (target == nullptr) {
      PostMessageW(GetDlgItem(browser, IDCANCEL), BM_CLICK, 0, 0);
      return false;
    }
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(target));
    PostMessageW(GetDlgItem(browser, IDOK), BM_CLICK, 0, 0);
  }
  // The browser is gone and the dialog has taken the pick.
  if (!waitFor([&] { return !IsWindow(browser); })) return false;
  SendMessageW(dialog, WM_NULL, 0, 0);
  return true;
}

bool cursorOver(const wchar_t* id, int x, int y) {
  HWND control = item(id);
  POINT point{x, y};
  ClientToScreen(control, &point);
  SetCursorPos(point.x, point.y);
  // Under Wine the move reaches the X server, and so GetCursorPos, a little later.
  waitFor([&] {
    POINT now{};
    return GetCursorPos(&now) && now.x == point.x && now.y == point.y;
  }, 5000);
  const LPARAM client = MAKELPARAM(x, y);
  SendMessageW(control, WM_MOUSEMOVE, 0, client);
  const LRESULT handled = SendMessageW(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control),
                                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  // The link keeps the hand (and answers 1) only over its text.
  say(std::wstring(L"cursor: ") + (handled == 1 ? L"hand" : L"other"));
  return true;
}

bool tooltipText(const wchar_t* id) {
  HWND control = item(id);
  HWND tooltip = nullptr;
  // A tooltip is a popup: its owner is the control or the dialog the control is in.
  for (HWND window = FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); window != nullptr;
       window = FindWindowExW(nullptr, window, TOOLTIPS_CLASSW, nullptr)) {
    const HWND owner = GetWindow(window, GW_OWNER);
    if (owner == control || owner == dialog) tooltip = window;
  }
  if (tooltip == nullptr) return false;
  RemotePage page(tooltip);
  if (!page.valid()) return false;
  TOOLINFOW tool{};
  tool.cbSize = TTTOOLINFOW_V2_SIZE;
  tool.hwnd = control;
  tool.uId = 1;
  tool.lpszText = reinterpret_cast<wchar_t*>(page.at(1024));
  wchar_t empty = 0;
  page.write(1024, &empty, sizeof(empty));
  page.write(0, &tool, sizeof(tool));
  SendMessageW(tooltip, TTM_GETTEXTW, 1000, reinterpret_cast<LPARAM>(page.at(0)));
  wchar_t text[1001] = {};
  page.read(1024, text, 1000 * sizeof(wchar_t));
  say(std::wstring(L"tooltip ") + id + L": " + text);
  return true;
}

// Pixels of exactly `color` (a COLORREF) on the screen inside the control.
int pixelsOfColor(HWND control, COLORREF color) {
  RECT r{};
  if (!GetWindowRect(control, &r)) return 0;
  HDC screen = GetDC(nullptr);
  if (screen == nullptr) return 0;
  int count = 0;
  for (LONG y = r.top; y < r.bottom; ++y) {
    for (LONG x = r.left; x < r.right; ++x) count += GetPixel(screen, x, y) == color ? 1 : 0;
  }
  ReleaseDC(nullptr, screen);
  return count;
}

bool pixels(const wchar_t* id, const wchar_t* rgb) {
  HWND control = item(id);
  const unsigned long value = wcstoul(rgb, nullptr, 16);
  const COLORREF color = RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
  // The underline alone gives a run of the text's exact colour, whatever
  // the smoothing of the letters.
  const bool seen = waitFor([&] { return pixelsOfColor(control, color) >= 8; }, 20000);
  say(std::wstring(L"pixels ") + id + L" " + rgb + L": " + (seen ? L"yes" : L"no"));
  return control != nullptr;
}

std::vector<std::string> fileLines(const wchar_t* path) {
  std::vector<std::string> lines;
  HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return lines;
  std::string text;
  char buffer[4096];
  DWORD read = 0;
  while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) text.append(buffer, read);
  CloseHandle(file);
  size_t start = 0;
  for (size_t end = text.find('\n'); end != std::string::npos; start = end + 1, end = text.find('\n', start)) {
    std::string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

bool lines(const wchar_t* path, int wanted) {
  std::vector<std::string> found;
  const bool complete = waitFor([&] {
    found = fileLines(path);
    return static_cast<int>(found.size()) >= wanted;
  });
  for (const std::string& line : found) say(L"line: " + std::wstring(line.begin(), line.end()));
  return complete;
}

bool setValue(const std::wstring& path, const std::wstring& name, DWORD type, const std::wstring& hex, int bits) {
  const size_t slash = path.find(L'\\');
  if (slash == std::wstring::npos) return false;
  const std::wstring hive = path.substr(0, slash);
  HKEY root = hive == L"HKCU" ? HKEY_CURRENT_USER : hive == L"HKLM" ? HKEY_LOCAL_MACHINE : nullptr;
  if (root == nullptr || hex.size() % 2 != 0) return false;
  std::vector<BYTE> data;
  for (size_t i = 0; i < hex.size(); i += 2) data.push_back(static_cast<BYTE>(wcstoul(hex.substr(i, 2).c_str(), nullptr, 16)));
  HKEY key = nullptr;
  const REGSAM view = bits == 32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  if (RegOpenKeyExW(root, path.substr(slash + 1).c_str(), 0, KEY_SET_VALUE | view, &key) != ERROR_SUCCESS) return false;
  struct CountedText {
    USHORT length;
    USHORT capacity;
    PWSTR text;
  } valueName{static_cast<USHORT>(name.size() * sizeof(wchar_t)), static_cast<USHORT>(name.size() * sizeof(wchar_t)),
              const_cast<PWSTR>(name.c_str())};
  using SetValue = LONG(NTAPI*)(HANDLE, CountedText*, ULONG, ULONG, PVOID, ULONG);
  const auto set = reinterpret_cast<SetValue>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtSetValueKey")));
  const bool written = set != nullptr && set(key, &valueName, 0, type, data.data(), static_cast<ULONG>(data.size())) == 0;
  RegCloseKey(key);
  return written;
}

struct MessageTextSearch {
  std::wstring text;
  static BOOL CALLBACK visit(HWND window, LPARAM context) {
    wchar_t kind[16] = {};
    GetClassNameW(window, kind, 16);
    if (std::wstring(kind) != L"Static" || (GetWindowLongW(window, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) return TRUE;
    wchar_t text[2048] = {};
    SendMessageW(window, WM_GETTEXT, 2048, reinterpret_cast<LPARAM>(text));
    if (text[0] == 0) return TRUE;
    reinterpret_cast<MessageTextSearch*>(context)->text = text;
    return FALSE;
  }
};

bool step(const std::vector<std::wstring>& args, size_t& i) {
  const std::wstring& name = args[i];
  auto next = [&]() -> const wchar_t* { return ++i < args.size() ? args[i].c_str() : L""; };
  if (name == L"wait") {
    caption = next();
    // The first visible one: a window of that caption may linger hidden
    // while an earlier process ends.
    return waitFor(
        [] {
          for (HWND found = FindWindowExW(nullptr, nullptr, L"#32770", caption.c_str()); found != nullptr;
               found = FindWindowExW(nullptr, found, L"#32770", caption.c_str())) {
            if (IsWindowVisible(found)) {
              dialog = found;
              return true;
            }
          }
          return false;
        },
        120000);
  }
  if (name == L"gone") return waitFor([] { return !IsWindow(dialog); });
  if (name == L"text") {
    const wchar_t* id = next();
    // WM_GETTEXT: GetWindowTextW does not ask a window of another process.
    wchar_t text[1024] = {};
    SendMessageW(item(id), WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    say(std::wstring(L"text ") + id + L": " + text);
    return item(id) != nullptr;
  }
  if (name == L"message") {
    MessageTextSearch search;
    EnumChildWindows(dialog, &MessageTextSearch::visit, reinterpret_cast<LPARAM>(&search));
    say(L"message: " + search.text);
    return !search.text.empty();
  }
  if (name == L"enabled") {
    const wchar_t* id = next();
    say(std::wstring(L"enabled ") + id + L": " + (IsWindowEnabled(item(id)) ? L"1" : L"0"));
    return item(id) != nullptr;
  }
  if (name == L"size") {
    const wchar_t* id = next();
    RECT r{};
    GetWindowRect(item(id), &r);
    say(std::wstring(L"size ") + id + L": " + std::to_wstring(r.right - r.left) + L"x" + std::to_wstring(r.bottom - r.top));
    return item(id) != nullptr;
  }
  if (name == L"click") return PostMessageW(item(next()), BM_CLICK, 0, 0) != 0;
  if (name == L"char") {
    HWND control = item(next());
    const WPARAM code = static_cast<WPARAM>(_wtoi(next()));
    SendMessageW(control, WM_KEYDOWN, code, 0);
    SendMessageW(control, WM_CHAR, code, 0);
    return control != nullptr;
  }
  if (name == L"escape") {
    // The modal loop hands Escape to the dialog as the command IDCANCEL.
    HWND focus = GetDlgItem(dialog, 2);
    return PostMessageW(focus, WM_KEYDOWN, VK_ESCAPE, 0) != 0;
  }
  if (name == L"closebox") return PostMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0) != 0;
  if (name == L"browse") return browse(next());
  if (name == L"browse-cancel") return browse(nullptr);
  if (name == L"cursor") {
    const wchar_t* id = next();
    const int x = _wtoi(next());
    return cursorOver(id, x, _wtoi(next()));
  }
  if (name == L"tooltip") return tooltipText(next());
  if (name == L"pixels") {
    const wchar_t* id = next();
    return pixels(id, next());
  }
  if (name == L"set-value") {
    const std::wstring key = next();
    const std::wstring valueName = next();
    const DWORD type = static_cast<DWORD>(_wtoi(next()));
    const std::wstring hex = next();
    return setValue(key, valueName, type, hex, _wtoi(next()));
  }
  if (name == L"lines") {
    const wchar_t* path = next();
    return lines(path, _wtoi(next()));
  }
  if (name == L"shot") {
    const std::wstring file = next();
    HANDLE marker = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (marker == INVALID_HANDLE_VALUE) return false;
    CloseHandle(marker);
    return waitFor([&] { return GetFileAttributesW(file.c_str()) == INVALID_FILE_ATTRIBUTES; });
  }
  return false;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args(argv + 1, argv + argc);
  for (size_t i = 0; i < args.size(); ++i) {
    const std::wstring name = args[i];
    if (!step(args, i)) {
      say(L"failed: " + name);
      // Whatever is left open is closed, so the launcher ends.
      if (IsWindow(dialog)) PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      return 1;
    }
  }
  return 0;
}
