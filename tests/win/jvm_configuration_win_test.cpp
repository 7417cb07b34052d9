// Class path, library path and environment on the real Windows API: the
// environment expansion, directory searches on real folders, the variables
// the launcher publishes, and the assembly from the configuration file that
// belongs to this test executable.
#include "jvm/jvm_configuration.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "config/launcher_paths.h"
#include "jvm/jvm_parameters.h"
#include "launcher/launcher.h"
#include "unit/stdout_capture.h"

namespace tarn {
namespace {

namespace fs = std::filesystem;

std::wstring environment(const wchar_t* name) {
  std::wstring value;
  return readEnvironmentVariable(name, value) ? value : L"<unset>";
}

// Sets (or, with null, removes) a variable for one test and puts the old state back.
class ScopedEnvironment {
 public:
  ScopedEnvironment(const wchar_t* name, const wchar_t* value) : name_(name) {
    hadValue_ = readEnvironmentVariable(name, old_);
    SetEnvironmentVariableW(name, value);
  }
  ~ScopedEnvironment() { SetEnvironmentVariableW(name_, hadValue_ ? old_.c_str() : nullptr); }

 private:
  const wchar_t* name_;
  std::wstring old_;
  bool hadValue_ = false;
};

// A folder removed with everything in it at the end of the test.
class ScopedFolder {
 public:
  explicit ScopedFolder(std::wstring path) : path_(std::move(path)) { fs::create_directories(long_(path_)); }
  ~ScopedFolder() {
    std::error_code ignored;
    fs::remove_all(long_(path_), ignored);
  }
  const std::wstring& path() const { return path_; }
  void touch(const std::wstring& name) const { std::ofstream(long_(path_ + L"\\" + name)).put('x'); }
  void folder(const std::wstring& name) const { fs::create_directories(long_(path_ + L"\\" + name)); }

 private:
  static fs::path long_(const std::wstring& path) { return fs::path(L"\\\\?\\" + path); }
  std::wstring path_;
};

std::wstring tempFolderPath(const wchar_t* name) {
  wchar_t base[MAX_PATH];
  GetTempPathW(MAX_PATH, base);
  return std::wstring(base) + name + std::to_wstring(GetCurrentProcessId());
}

std::string narrow(const std::wstring& text) { return std::string(text.begin(), text.end()); }

TEST(ExpandEnvironmentWin, DefinedUndefinedAndLongValues) {
  const std::wstring longValue = L"C:\\" + std::wstring(300, L'v');
  const std::wstring hugeValue(20000, L'h');
  ScopedEnvironment a(L"TARN_TEST_A", L"alpha");
  ScopedEnvironment longVariable(L"TARN_TEST_LONG", longValue.c_str());
  ScopedEnvironment huge(L"TARN_TEST_HUGE", hugeValue.c_str());
  ScopedEnvironment unset(L"TARN_TEST_UNSET", nullptr);
  const std::wstring longText(40000, L'x');
  const struct {
    const char* name;
    std::wstring text;
    std::wstring expected;
  } cases[] = {
      {"defined", L"%TARN_TEST_A%\\lib", L"alpha\\lib"},
      {"names ignore case", L"%tarn_test_a%", L"alpha"},
      {"undefined stays", L"%TARN_TEST_UNSET%\\x.jar", L"%TARN_TEST_UNSET%\\x.jar"},
      {"lone percent", L"50%", L"50%"},
      {"value longer than a path", L"%TARN_TEST_LONG%\\lib", longValue + L"\\lib"},
      {"expansion beyond 32767 characters", L"%TARN_TEST_HUGE%;%TARN_TEST_HUGE%", hugeValue + L";" + hugeValue},
      {"text beyond 32767 characters", L"%TARN_TEST_A%" + longText + L"%TARN_TEST_UNSET%%TARN_TEST_A%",
       L"alpha" + longText + L"%TARN_TEST_UNSET%alpha"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    std::wstring text = row.text;
    expandEnvironment(text);
    EXPECT_EQ(text.size(), row.expected.size());
    EXPECT_TRUE(text == row.expected);
  }
}

TEST(JvmCodePageWin, FollowsTheCallingThreadsLocale) {
  const LCID saved = GetThreadLocale();
  ASSERT_TRUE(SetThreadLocale(MAKELCID(MAKELANGID(LANG_RUSSIAN, SUBLANG_DEFAULT), SORT_DEFAULT)));
  // Code page 1251: Cyrillic Zhe is 0xC6; a character it lacks gets the replacement.
  const std::string cyrillic = toJvmCodePage(L"-Dname=\u0416");
  const std::string missing = toJvmCodePage(L"\u4E2D");
  SetThreadLocale(saved);
  EXPECT_EQ(cyrillic, "-Dname=\xC6");
  EXPECT_EQ(missing, "?");
}

class ClassPathEntryWin : public ::testing::Test {
 protected:
  ClassPathEntryWin() : app_(tempFolderPath(L"tarn-entry-")) {
    app_.folder(L"lib");
    for (const wchar_t* name : {L"lib\\a.jar", L"lib\\b.jar", L"lib\\notes.txt"}) app_.touch(name);
    app_.folder(L"classes");
  }

  std::wstring expand(const std::wstring& entry) const {
    std::wstring classPath;
    expandClassPathEntry(entry, app_.path(), classPath);
    return classPath;
  }

  ScopedFolder app_;
};

TEST_F(ClassPathEntryWin, SearchesTheFileSystem) {
  const std::wstring lib = app_.path() + L"\\lib\\";
  const struct {
    const char* name;
    std::wstring entry;
    std::wstring classPath;
  } cases[] = {
      {"relative wildcard", L"\\lib\\*.jar", lib + L"a.jar;" + lib + L"b.jar;"},
      {"absolute wildcard", app_.path() + L"\\lib\\*.jar", lib + L"a.jar;" + lib + L"b.jar;"},
      {"relative file", L"\\lib\\notes.txt", lib + L"notes.txt;"},
      {"relative folder", L"\\classes", app_.path() + L"\\classes;"},
      {"relative missing file", L"\\lib\\missing.jar", L""},
      {"absolute missing folder", app_.path() + L"\\nowhere\\*.jar", L""},
      {"star gives . and .. too",
       L"\\lib\\*",
       lib + L".;" + lib + L"..;" + lib + L"a.jar;" + lib + L"b.jar;" + lib + L"notes.txt;"},
      {"empty entry", L"", L""},
      {"trailing separator", L"\\lib\\", L""},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(expand(row.entry), row.classPath);
  }
}

TEST_F(ClassPathEntryWin, FindsFilesBeyondTheShortPathLimit) {
  std::wstring relative;
  while (app_.path().size() + relative.size() < 300) relative += L"\\" + std::wstring(50, L'd');
  app_.folder(relative.substr(1));
  app_.touch(relative.substr(1) + L"\\deep.jar");
  const std::wstring expected = app_.path() + relative + L"\\deep.jar;";
  EXPECT_EQ(expand(relative + L"\\*.jar"), expected);
  EXPECT_EQ(expand(app_.path() + relative + L"\\*.jar"), expected);
}

class JvmEnvironmentWin : public ::testing::Test {
 protected:
  ScopedEnvironment path_{L"Path", L"C:\\old;C:\\older"};
  ScopedEnvironment jvmPath_{L"TARN_JVM_PATH", nullptr};
  ScopedEnvironment jvmHome_{L"TARN_JVM_HOME", nullptr};
  ScopedEnvironment home_{L"TARN_TEST_HOME", L"C:\\home"};
};

TEST_F(JvmEnvironmentWin, PublishesTheRuntimeAndRewritesThePath) {
  Launcher launcher;
  launcher.jvmDllPath = L"C:\\jre\\bin\\server\\jvm.dll";
  launcher.systemPath = L"C:\\tools;%TARN_TEST_HOME%";
  launcher.prepareJvmEnvironment();
  EXPECT_EQ(environment(L"TARN_JVM_PATH"), L"C:\\jre\\bin\\server\\jvm.dll");
  EXPECT_EQ(environment(L"TARN_JVM_HOME"), L"C:\\jre");
  EXPECT_EQ(environment(L"Path"), L"C:\\tools;C:\\home;C:\\old;C:\\older;C:\\jre\\bin");
  // No Library Path: no option.
  EXPECT_TRUE(launcher.jvmOptions.empty());
}

TEST_F(JvmEnvironmentWin, LibraryPathOptionUsesTheOldPath) {
  Launcher launcher;
  launcher.jvmDllPath = L"C:\\jre\\bin\\server\\jvm.dll";
  launcher.libraryPath = L"%TARN_TEST_HOME%\\native";
  std::wstring folder;
  ASSERT_TRUE(launcher.moduleFolder(folder));
  launcher.prepareJvmEnvironment();
  const std::wstring expected = L"-Djava.library.path=C:\\home\\native;" + folder + L";.;C:\\old;C:\\older;C:\\jre\\lib";
  EXPECT_EQ(launcher.jvmOptions.options(), std::vector<std::string>{narrow(expected)});
  EXPECT_EQ(environment(L"Path"), L"C:\\old;C:\\older;C:\\jre\\bin");
}

// The configuration file beside this test executable, and a folder beside it
// for the relative class path entries.
class AssembleWin : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(launcher_.modulePath(executable_));
    ASSERT_TRUE(launcher_.configFilePath(iniPath_));
    const std::wstring directory = launcherDirectoryOf(executable_, kWindowsJvmPathStyle);
    folderName_ = L"tarn-cp-" + std::to_wstring(GetCurrentProcessId());
    files_.reset(new ScopedFolder(directory + L"\\" + folderName_));
    files_->folder(L"lib");
    files_->touch(L"lib\\a.jar");
    files_->touch(L"lib\\b.jar");
    files_->folder(L"classes");
  }

  void TearDown() override {
    std::error_code ignored;
    fs::remove(fs::path(iniPath_), ignored);
    files_.reset();
  }

  void writeIni(const std::vector<std::string>& lines) {
    std::ofstream out(fs::path(iniPath_), std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) out << line << "\r\n";
  }

  // assembleJvmConfiguration with everything it writes to standard output.
  static std::string assemble(Launcher& launcher) {
    test::StdoutCapture capture;
    launcher.assembleJvmConfiguration();
    return capture.finish();
  }

  std::string files() const { return narrow(folderName_); }
  std::string filesPath() const { return narrow(files_->path()); }

  Launcher launcher_;
  std::wstring executable_;
  std::wstring iniPath_;
  std::wstring folderName_;
  std::unique_ptr<ScopedFolder> files_;
  ScopedEnvironment home_{L"TARN_TEST_HOME", L"C:\\my home"};
};

TEST_F(AssembleWin, ClassPathParametersOutputSettingsAndCmd) {
  writeIni({
      "[Class Path]",
      "Class Path=\\" + files() + "\\lib\\*.jar;D:\\shared\\util.jar;\\" + files() + "\\classes",
      "[Java Runtime Environment]",
      "Virtual Machine Parameters=-Xmx512m -Dapp.home=%TARN_TEST_HOME% \"-Dtitle=A B\" -Xss2m",
      "[Application]",
      "Output File=%TARN_TEST_HOME%\\out.log",
      "Output Append=yes",
      "Error File=err.log",
      "Error Append=Yes",
      "Cmd=a  \"b c\" \"\" %TARN_TEST_HOME%",
  });
  launcher_.arguments = {L"first"};
  EXPECT_EQ(assemble(launcher_), "");

  const std::string lib = filesPath() + "\\lib\\";
  EXPECT_EQ(launcher_.jvmOptions.options(),
            (std::vector<std::string>{
                "-Djava.class.path=" + lib + "a.jar;" + lib + "b.jar;D:\\shared\\util.jar;" + filesPath() + "\\classes;",
                "-Xmx512m", "-Dapp.home=C:\\my home", "-Dtitle=A B", "-Xss2m"}));
  EXPECT_EQ(launcher_.threadStackSize, 2097152u);
  EXPECT_EQ(launcher_.outputFile, L"C:\\my home\\out.log");
  EXPECT_TRUE(launcher_.appendOutput);
  EXPECT_EQ(launcher_.errorFile, L"err.log");
  EXPECT_FALSE(launcher_.appendError);
  EXPECT_EQ(launcher_.arguments, (std::vector<std::wstring>{L"first", L"a", L"b c", L"C:\\my", L"home"}));
}

TEST_F(AssembleWin, EmbeddedJarPutsTheExecutableFirst) {
  const struct {
    const char* value;
    bool first;
  } cases[] = {{"Yes", true}, {"yes", true}, {"YES", true}, {"No", false}, {"1", false}, {"Yess", false}};
  for (const auto& row : cases) {
    SCOPED_TRACE(row.value);
    writeIni({"[Class Path]", "Class Path=D:\\a.jar", "[Application]", std::string("Embedded Jar=") + row.value});
    Launcher launcher;
    launcher.assembleJvmConfiguration();
    const std::string expected =
        std::string("-Djava.class.path=") + (row.first ? narrow(executable_) + ";" : "") + "D:\\a.jar;";
    EXPECT_EQ(launcher.jvmOptions.options(), std::vector<std::string>{expected});
  }

  // With no class path at all, the executable alone.
  writeIni({"[Application]", "Embedded Jar=yes"});
  Launcher alone;
  EXPECT_EQ(assemble(alone), "");
  EXPECT_EQ(alone.jvmOptions.options(), std::vector<std::string>{"-Djava.class.path=" + narrow(executable_) + ";"});
}

TEST_F(AssembleWin, NoClassPathReportsAndAssemblesNothingMore) {
  writeIni({
      "[Class Path]",
      "Class Path=\\nothing\\*.jar;;\\" + files() + "\\lib\\missing.jar",
      "[Java Runtime Environment]",
      "Virtual Machine Parameters=-Xss1m",
      "[Application]",
      "Output File=out.log",
      "Cmd=x",
  });
  launcher_.arguments = {L"first"};
  EXPECT_EQ(assemble(launcher_), "Error: Java Class Path was not specified in INI file. \n");
  EXPECT_TRUE(launcher_.jvmOptions.empty());
  EXPECT_EQ(launcher_.threadStackSize, 0u);
  EXPECT_EQ(launcher_.outputFile, L"");
  EXPECT_EQ(launcher_.arguments, std::vector<std::wstring>{L"first"});

  // An empty value, or no file at all, ends the same way.
  writeIni({"[Class Path]", "Class Path="});
  EXPECT_EQ(assemble(launcher_), "Error: Java Class Path was not specified in INI file. \n");
  fs::remove(fs::path(iniPath_));
  EXPECT_EQ(assemble(launcher_), "Error: Java Class Path was not specified in INI file. \n");
}

TEST_F(AssembleWin, EmptyEntriesAddNothing) {
  writeIni({"[Class Path]", "Class Path=;;D:\\a.jar;;\\" + files() + "\\classes;"});
  launcher_.assembleJvmConfiguration();
  EXPECT_EQ(launcher_.jvmOptions.options(),
            std::vector<std::string>{"-Djava.class.path=D:\\a.jar;" + filesPath() + "\\classes;"});
}

TEST_F(AssembleWin, AppendFlagsTakeExactlyYes) {
  const struct {
    const char* value;
    bool append;
  } cases[] = {{"yes", true}, {"Yes", false}, {"YES", false}, {"true", false}, {"", false}};
  for (const auto& row : cases) {
    SCOPED_TRACE(row.value);
    writeIni({"[Class Path]", "Class Path=D:\\a.jar", "[Application]", std::string("Output Append=") + row.value,
              std::string("Error Append=") + row.value});
    Launcher launcher;
    launcher.assembleJvmConfiguration();
    EXPECT_EQ(launcher.appendOutput, row.append);
    EXPECT_EQ(launcher.appendError, row.append);
  }
}

TEST_F(AssembleWin, LibraryPathOptionComesFirst) {
  ScopedEnvironment path(L"Path", L"C:\\old");
  writeIni({"[Class Path]", "Class Path=D:\\a.jar", "[Java Runtime Environment]",
            "Virtual Machine Parameters=-Xmx1g"});
  launcher_.jvmDllPath = L"C:\\jre\\bin\\server\\jvm.dll";
  launcher_.libraryPath = L"C:\\libs";
  launcher_.prepareJvmEnvironment();
  launcher_.assembleJvmConfiguration();
  const std::vector<std::string>& options = launcher_.jvmOptions.options();
  ASSERT_EQ(options.size(), 3u);
  EXPECT_EQ(options[0].rfind("-Djava.library.path=C:\\libs;", 0), 0u);
  EXPECT_EQ(options[1], "-Djava.class.path=D:\\a.jar;");
  EXPECT_EQ(options[2], "-Xmx1g");
}

TEST_F(AssembleWin, TenThousandEntries) {
  ScopedEnvironment unset(L"TARN_TEST_UNSET", nullptr);
  std::string value;
  std::string expected = "-Djava.class.path=";
  char entry[32];
  for (int i = 0; i < 10000; ++i) {
    std::snprintf(entry, sizeof entry, "C:\\libs\\jar%05d.jar", i);
    value += std::string(entry) + ";";
    expected += std::string(entry) + ";";
  }
  // An undefined reference keeps its "%" through both expansions, however long the option.
  value += "C:\\%TARN_TEST_UNSET%\\z.jar;\\" + files() + "\\lib\\a.jar";
  expected += "C:\\%TARN_TEST_UNSET%\\z.jar;" + filesPath() + "\\lib\\a.jar;";
  writeIni({"[Class Path]", "Class Path=" + value});
  launcher_.assembleJvmConfiguration();
  ASSERT_EQ(launcher_.jvmOptions.options().size(), 1u);
  EXPECT_EQ(launcher_.jvmOptions.options()[0].size(), expected.size());
  EXPECT_TRUE(launcher_.jvmOptions.options()[0] == expected);
}

}  // namespace
}  // namespace tarn
