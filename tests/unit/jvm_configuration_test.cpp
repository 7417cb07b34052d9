#include "jvm/jvm_configuration.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "base/text.h"
#include "jvm/class_path.h"
#include "jvm/jvm_parameters.h"
#include "jvm/search_paths.h"
#include "jvm/user_vm_parameters.h"
#include "support/scoped_environment.h"
#include "support/temp_folder.h"
#include "support/stdout_capture.h"

namespace tarn {
namespace {

TEST(ClassPathEntry, SearchPatternAndPrefix) {
  const struct {
    const char* name;
    const PathStyle& style;
    std::wstring entry;
    std::wstring directory;
    std::wstring pattern;
    std::wstring prefix;
  } cases[] = {
      {"relative wildcard", kWindowsPathStyle, L"\\lib\\*.jar", L"C:\\app", L"C:\\app\\lib\\*.jar",
       L"C:\\app\\lib\\"},
      {"relative file", kWindowsPathStyle, L"\\classes", L"C:\\app", L"C:\\app\\classes", L"C:\\app\\"},
      {"absolute wildcard", kWindowsPathStyle, L"D:\\shared\\*.jar", L"C:\\app", L"D:\\shared\\*.jar",
       L"D:\\shared\\"},
      {"UNC wildcard", kWindowsPathStyle, L"\\\\host\\share\\*", L"C:\\app", L"\\\\host\\share\\*",
       L"\\\\host\\share\\"},
      // Appended as written, so the name found lies in C:\, and is written so.
      {"relative without a leading separator", kWindowsPathStyle, L"x.jar", L"C:\\app", L"C:\\appx.jar", L"C:\\"},
      {"forward slash", kWindowsPathStyle, L"\\lib/*.jar", L"C:\\app", L"C:\\app\\lib/*.jar", L"C:\\app\\lib/"},
      {"drive-relative", kWindowsPathStyle, L"D:*.jar", L"C:\\app", L"D:*.jar", L"D:"},
      {"posix relative", kPosixPathStyle, L"lib/*.jar", L"/opt/app", L"/opt/app/lib/*.jar", L"/opt/app/lib/"},
      {"posix single name", kPosixPathStyle, L"x", L"/opt/app", L"/opt/app/x", L"/opt/app/"},
      {"posix absolute", kPosixPathStyle, L"/usr/share/java/*.jar", L"/opt/app", L"/usr/share/java/*.jar",
       L"/usr/share/java/"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    ClassPathSearch search;
    ASSERT_TRUE(classPathSearchFor(row.entry, row.directory, row.style, search));
    EXPECT_EQ(search.pattern, row.pattern);
    EXPECT_EQ(search.prefix, row.prefix);
  }
}

TEST(ClassPathEntry, EmptyEntryNamesNothing) {
  for (const PathStyle* style : {&kWindowsPathStyle, &kPosixPathStyle}) {
    ClassPathSearch search;
    EXPECT_FALSE(classPathSearchFor(L"", L"C:\\app", *style, search));
  }
  std::wstring classPath = L"a;";
  expandClassPathEntry(L"", L"/", classPath);
  EXPECT_EQ(classPath, L"a;");
}

TEST(LibraryPath, ConfiguredPathLauncherFolderOldPathAndRuntimeLib) {
  const std::wstring jvm = L"C:\\jre\\bin\\server\\jvm.dll";
  const std::wstring expected = L"C:\\libs;C:\\app\\;.;%Path%;C:\\jre\\lib";
  EXPECT_EQ(libraryPathText(L"C:\\libs", L"C:\\app\\", jvm, kWindowsPathStyle), expected);
  EXPECT_EQ(libraryPathText(L"C:\\libs;", L"C:\\app\\", jvm, kWindowsPathStyle), expected);
  EXPECT_EQ(libraryPathText(L"%APPDATA%\\x", L"C:\\app\\", jvm, kWindowsPathStyle),
            L"%APPDATA%\\x;C:\\app\\;.;%Path%;C:\\jre\\lib");
  EXPECT_EQ(libraryPathText(L"/libs", L"/opt/app/", L"/jdk/lib/server/libjvm.so", kPosixPathStyle),
            L"/libs:/opt/app/:.:%PATH%:/jdk/lib");
}

TEST(SearchPath, SystemPathFirstRuntimeBinLast) {
  const std::wstring bin = L"C:\\jre\\bin";
  EXPECT_EQ(searchPathText(L"C:\\tools", bin, kWindowsPathStyle), L"C:\\tools;%Path%;C:\\jre\\bin");
  EXPECT_EQ(searchPathText(L"C:\\tools;", bin, kWindowsPathStyle), L"C:\\tools;%Path%;C:\\jre\\bin");
  EXPECT_EQ(searchPathText(L"", bin, kWindowsPathStyle), L"%Path%;C:\\jre\\bin");
  EXPECT_EQ(searchPathText(L"/tools", L"/jdk/bin", kPosixPathStyle), L"/tools:%PATH%:/jdk/bin");
}

// A lookup in a fixed set of variables.
VariableLookup lookupIn(const std::map<std::wstring, std::wstring>& variables) {
  return [variables](const std::wstring& name, std::wstring& value) {
    auto found = variables.find(name);
    if (found == variables.end()) return false;
    value = found->second;
    return true;
  };
}

TEST(ExpandReferences, DefinedReplacedUndefinedKept) {
  const VariableLookup lookup = lookupIn({{L"A", L"alpha"}, {L"B", L"beta"}, {L"P", L"%A%"}});
  const struct {
    const char* name;
    std::wstring text;
    std::wstring expected;
  } cases[] = {
      {"plain", L"no references", L"no references"},
      {"defined", L"x%A%y", L"xalphay"},
      {"adjacent", L"%A%%B%", L"alphabeta"},
      {"undefined stays", L"%NOPE%\\lib", L"%NOPE%\\lib"},
      {"scan goes on after an undefined one", L"%NOPE%A%B%", L"%NOPE%Abeta"},
      {"lone percent", L"50%", L"50%"},
      {"empty name", L"%%A%", L"%%A%"},
      {"values are not expanded again", L"%P%", L"%A%"},
      {"empty", L"", L""},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(expandReferences(row.text, lookup), row.expected);
  }
}

TEST(ExpandSearchList, EntriesThatNameNothingAreLeftOut) {
  const VariableLookup lookup =
      lookupIn({{L"PATH", L"C:\\windows;;C:\\tools"}, {L"EMPTY", L""}, {L"HOME", L"C:\\home"}});
  const struct {
    const char* name;
    std::wstring text;
    std::wstring expected;
  } cases[] = {
      {"plain entries", L"C:\\a;C:\\b", L"C:\\a;C:\\b"},
      {"a value of several entries, empty ones dropped", L"C:\\a;%PATH%;C:\\b", L"C:\\a;C:\\windows;C:\\tools;C:\\b"},
      {"an undefined reference", L"%NOPE%;C:\\b", L"C:\\b"},
      {"an undefined reference inside an entry", L"C:\\a;%NOPE%\\bin;%HOME%\\bin", L"C:\\a;C:\\home\\bin"},
      {"an empty value", L"%EMPTY%;C:\\b", L"C:\\b"},
      {"empty entries", L";C:\\a;;C:\\b;", L"C:\\a;C:\\b"},
      {"nothing left", L";%NOPE%;", L""},
      {"the current directory when written", L".;C:\\b", L".;C:\\b"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(expandSearchList(row.text, kWindowsPathStyle, lookup), row.expected);
  }
}

TEST(FitSearchList, EntriesBeforeTheLastLeaveFromTheEnd) {
  PathStyle style = kWindowsPathStyle;
  style.longestVariableValue = 15;
  const struct {
    const char* name;
    std::wstring list;
    std::wstring expected;
  } cases[] = {
      {"fits", L"C:\\a;C:\\b;C:\\c", L"C:\\a;C:\\b;C:\\c"},
      {"one entry less", L"C:\\a;C:\\b;C:\\c;C:\\bin", L"C:\\a;C:\\bin"},
      {"only the last left", L"C:\\aaaaaaaa;C:\\bin", L"C:\\bin"},
      {"the last alone too long stays whole", L"C:\\a;C:\\binbinbinbin", L"C:\\binbinbinbin"},
      {"one entry too long stays whole", L"C:\\binbinbinbinbin", L"C:\\binbinbinbinbin"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(fitSearchList(row.list, style), row.expected);
  }
  EXPECT_EQ(fitSearchList(std::wstring(40000, L'x') + L":/bin", kPosixPathStyle).size(), 40005u);
}

// assembleJvmConfiguration with this platform's rules, for a launcher that
// lies in a temporary folder holding lib/a.jar, lib/notes.txt and classes/.
class Assemble : public ::testing::Test {
 protected:
  Assemble() {
    folder_.writeFile(std::filesystem::path("lib") / "a.jar", "x");
    folder_.writeFile(std::filesystem::path("lib") / "notes.txt", "x");
    folder_.makeFolder("classes");
    paths_.executable = folder_.pathOf("run.exe");
    paths_.folder = withTrailingSeparator(folder_.path().wstring(), style().separator);
    // Left alone by the assembly, which reads nothing from files.
    paths_.configFile = folder_.pathOf("missing.ini");
    settings_.mainClass = L"com/example/App";
  }

  static const PathStyle& style() { return nativePathStyle(); }

  // A class path entry relative to the launcher's folder, given with "/":
  // "\lib\*.jar" on Windows (appended to the folder as written), "lib/*.jar"
  // on POSIX.
  static std::wstring relative(const std::wstring& path) {
    const std::wstring native = replaceAll(path, L'/', style().separator);
    return style().windowsForms ? style().separator + native : native;
  }

  // The full path of a name in the launcher's folder, given with "/".
  std::wstring inFolder(const std::wstring& path) const {
    return folder_.path().wstring() + style().separator + replaceAll(path, L'/', style().separator);
  }

  // The entries joined by the list separator, with no empty last one (the
  // VM would read it as the current directory).
  static std::string classPathOption(const std::vector<std::wstring>& entries) {
    std::wstring option = L"-Djava.class.path=";
    for (size_t i = 0; i < entries.size(); ++i) option += (i == 0 ? L"" : std::wstring(1, style().listSeparator)) + entries[i];
    return toJvmCodePage(option);
  }

  // The options followed by the two launcher properties for the main class
  // and the arguments as they are now.
  std::vector<std::string> withProperties(std::vector<std::string> options) const {
    std::wstring command = L"-Dsun.java.command=com.example.App";
    for (const std::wstring& argument : arguments_) command += L" " + argument;
    options.push_back(toJvmCodePage(command));
    options.push_back("-Dsun.java.launcher=SUN_STANDARD");
    return options;
  }

  // Runs the assembly as a run does, checks whether the run may go on and
  // returns what it wrote to standard output.
  std::string assemble(bool expected = true) {
    test::StdoutCapture capture;
    const bool classPathNeeded = needsClassPath(settings_);
    const std::wstring classPath = classPathNeeded ? assembleClassPath(settings_, paths_) : std::wstring();
    bool assembled = !classPath.empty() || !classPathNeeded;
    if (assembled) {
      appendCmdArguments(settings_.cmd, arguments_);
      assembled =
          assembleJvmConfiguration(classPath, assembleModulePath(settings_, paths_), settings_, setup_, arguments_);
    }
    EXPECT_EQ(assembled, expected);
    return capture.finish();
  }

  test::TempFolder folder_;
  test::ScopedEnvironment home_{L"TARN_TEST_HOME", std::wstring(L"my home")};
  test::ScopedEnvironment unset_{L"TARN_TEST_UNSET", std::nullopt};
  LauncherPaths paths_;
  Settings settings_;
  VmSetup setup_;
  std::vector<std::wstring> arguments_{L"first"};
};

TEST_F(Assemble, ClassPathParametersStreamsAndCmd) {
  const std::wstring missing = inFolder(L"shared/util.jar");
  settings_.classPath = relative(L"lib/*.jar") + L";" + missing + L";" + relative(L"classes");
  settings_.vmParameters = L"-Xmx512m -Dapp.home=%TARN_TEST_HOME% \"-Dtitle=A B\" -Xss2m";
  settings_.output = {L"%TARN_TEST_HOME%.log", true};
  settings_.error = {L"err.log", false};
  settings_.cmd = L"a  \"b c\" \"\" %TARN_TEST_HOME%";
  EXPECT_EQ(assemble(), "");

  // A wildcard is searched; an absolute entry without one is taken as
  // written, existing or not.
  EXPECT_EQ(setup_.options.options(),
            withProperties({classPathOption({inFolder(L"lib/a.jar"), missing, inFolder(L"classes")}), "-Xmx512m",
                            "-Dapp.home=my home", "-Dtitle=A B", "-Xss2m"}));
  EXPECT_EQ(setup_.stackSize, 2097152u);
  EXPECT_EQ(setup_.output.file, L"my home.log");
  EXPECT_TRUE(setup_.output.append);
  EXPECT_EQ(setup_.error.file, L"err.log");
  EXPECT_FALSE(setup_.error.append);
  // After the command line's own; the empty one is dropped.
  EXPECT_EQ(arguments_, (std::vector<std::wstring>{L"first", L"a", L"b c", L"my", L"home"}));
}

TEST_F(Assemble, EntriesAreExpandedAndEmptyOnesAddNothing) {
  test::ScopedEnvironment lib(L"TARN_TEST_LIB", std::wstring(L"lib"));
  const std::wstring missing = inFolder(L"shared/util.jar");
  settings_.classPath = L";;" + missing + L";;" + relative(L"%TARN_TEST_LIB%/a.jar") + L";" +
                        relative(L"%TARN_TEST_UNSET%/a.jar") + L";";
  EXPECT_EQ(assemble(), "");
  EXPECT_EQ(setup_.options.options(), withProperties({classPathOption({missing, inFolder(L"lib/a.jar")})}));
}

// An entry whose value ends in the list separator, or holds two in a row,
// gives no empty element: the VM would read it as the current directory.
TEST_F(Assemble, ValuesWithSeparatorsGiveNoEmptyElement) {
  const std::wstring separator(1, style().listSeparator);
  const std::wstring first = inFolder(L"shared/first.jar");
  const std::wstring second = inFolder(L"shared/second.jar");
  const struct {
    const char* name;
    std::wstring value;  // of TARN_TEST_CP
  } cases[] = {
      {"ends in the separator", first + separator},
      {"two in a row", first + separator + separator},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    test::ScopedEnvironment value(L"TARN_TEST_CP", row.value);
    settings_.classPath = L"%TARN_TEST_CP%;" + second;
    setup_ = VmSetup();
    EXPECT_EQ(assemble(), "");
    EXPECT_EQ(setup_.options.options(), withProperties({classPathOption({first, second})}));
  }
}

TEST_F(Assemble, EmbeddedJarPutsTheExecutableFirst) {
  const std::wstring missing = inFolder(L"shared/util.jar");
  const struct {
    const char* name;
    std::wstring classPath;
    std::vector<std::wstring> entries;
  } cases[] = {
      {"before the configured entries", missing, {paths_.executable, missing}},
      {"alone, without a class path", L"", {paths_.executable}},
      {"alone, when no entry names anything", relative(L"nowhere/*.jar"), {paths_.executable}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    settings_.embeddedJar = true;
    settings_.classPath = row.classPath;
    setup_ = VmSetup();
    EXPECT_EQ(assemble(), "");
    EXPECT_EQ(setup_.options.options(), withProperties({classPathOption(row.entries)}));
  }
}

// No class path: the start ends (false) before the VM, saying which
// configured entries matched nothing.
TEST_F(Assemble, NoClassPathReportsAndAssemblesNothingMore) {
  const std::wstring nowhere = relative(L"nowhere/*.jar");
  const std::wstring missing = relative(L"lib/missing.jar");
  const std::string notSpecified = "Error: Java Class Path was not specified in INI file. \n";
  const struct {
    const char* name;
    std::wstring classPath;
    std::string message;
  } cases[] = {
      {"no value", L"", notSpecified},
      {"only empty entries", L";;", notSpecified},
      {"entries that name nothing", nowhere + L";;" + missing,
       "Error: Java Class Path entries matched no file: " + toUtf8(nowhere + L";" + missing) +
           ". The Java VM is not started. \n"},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    settings_.classPath = row.classPath;
    settings_.vmParameters = L"-Xss1m";
    settings_.output = {L"out.log", true};
    settings_.cmd = L"x";
    setup_ = VmSetup();
    EXPECT_EQ(assemble(false), row.message);
    EXPECT_TRUE(setup_.options.empty());
    EXPECT_EQ(setup_.stackSize, 0u);
    EXPECT_EQ(setup_.output.file, L"");
    EXPECT_FALSE(setup_.output.append);
    EXPECT_EQ(arguments_, std::vector<std::wstring>{L"first"});
  }
}

TEST_F(Assemble, VmParametersFollowTheClassPathAndSetTheStackSize) {
  const std::wstring missing = inFolder(L"shared/util.jar");
  const struct {
    const char* name;
    std::wstring parameters;
    std::vector<std::string> after;
    uint64_t stackSize;
  } cases[] = {
      {"none", L"", {}, 7},
      // Blank text is no parameter at all, not one empty parameter.
      {"blank", L"   ", {}, 7},
      {"the last -Xss counts", L"-Xss1m -Dx=1 -Xss256k", {"-Xss1m", "-Dx=1", "-Xss256k"}, 262144},
      {"without -Xss the size stays", L"-Xmx1g", {"-Xmx1g"}, 7},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    settings_.classPath = missing;
    settings_.vmParameters = row.parameters;
    setup_ = VmSetup();
    setup_.stackSize = 7;
    EXPECT_EQ(assemble(), "");
    std::vector<std::string> expected{classPathOption({missing})};
    expected.insert(expected.end(), row.after.begin(), row.after.end());
    EXPECT_EQ(setup_.options.options(), withProperties(expected));
    EXPECT_EQ(setup_.stackSize, row.stackSize);
  }
}

// As java --module-path ... --module ... gives them to the VM (checked with
// the JDK's own launcher): the module path after the class path, the main
// module's name alone, and the command as the module was written.
TEST_F(Assemble, MainModuleAndModulePath) {
  test::ScopedEnvironment lib(L"TARN_TEST_LIB", std::wstring(L"lib"));
  const std::wstring missing = inFolder(L"shared/mods");
  const std::string modulePath = toJvmCodePage(L"--module-path=" + inFolder(L"lib/a.jar") +
                                               style().listSeparator + missing + style().listSeparator +
                                               inFolder(L"classes"));
  const std::wstring configured =
      relative(L"%TARN_TEST_LIB%/*.jar") + L";;" + missing + L";" + relative(L"classes") + L";" + relative(L"nowhere");
  const struct {
    const char* name;
    std::wstring mainModule;
    std::wstring classPath;
    std::wstring modulePath;
    std::vector<std::string> expected;
  } cases[] = {
      {"module and class, no class path", L"app/com.example.App", L"", configured,
       {"-Djava.class.path=", modulePath, "-Djdk.module.main=app", "-Xmx1g",
        "-Dsun.java.command=app/com.example.App first", "-Dsun.java.launcher=SUN_STANDARD"}},
      {"module alone, with a class path", L"app", missing, configured,
       {classPathOption({missing}), modulePath, "-Djdk.module.main=app", "-Xmx1g", "-Dsun.java.command=app first",
        "-Dsun.java.launcher=SUN_STANDARD"}},
      {"a module path for a main class", L"", missing, configured,
       {classPathOption({missing}), modulePath, "-Xmx1g", "-Dsun.java.command=com.example.App first",
        "-Dsun.java.launcher=SUN_STANDARD"}},
      // The VM then reports the module it does not find.
      {"a module path that names nothing", L"app", L"", relative(L"nowhere") + L";;",
       {"-Djava.class.path=", "-Djdk.module.main=app", "-Xmx1g", "-Dsun.java.command=app first",
        "-Dsun.java.launcher=SUN_STANDARD"}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    settings_.mainModule = row.mainModule;
    settings_.classPath = row.classPath;
    settings_.modulePath = row.modulePath;
    settings_.vmParameters = L"-Xmx1g";
    setup_ = VmSetup();
    EXPECT_EQ(assemble(), "");
    EXPECT_EQ(setup_.options.options(), row.expected);
  }
}

// A class path configured for a main module must still name something.
TEST_F(Assemble, MainModuleWithAClassPathThatNamesNothing) {
  settings_.mainModule = L"app";
  settings_.classPath = relative(L"nowhere/*.jar");
  EXPECT_EQ(assemble(false), "Error: Java Class Path entries matched no file: " + toUtf8(settings_.classPath) +
                                 ". The Java VM is not started. \n");
  EXPECT_TRUE(setup_.options.empty());
}

TEST(LauncherProperties, AsTheJdksLauncherSetsThem) {
  const struct {
    const char* name;
    std::vector<std::wstring> arguments;
    std::vector<std::wstring> vmParameters;
    std::vector<std::wstring> expected;
  } cases[] = {
      {"no arguments", {}, {}, {L"-Dsun.java.command=com.example.App", L"-Dsun.java.launcher=SUN_STANDARD"}},
      {"arguments joined by spaces", {L"a", L"b c", L""}, {L"-Xmx1g"},
       {L"-Dsun.java.command=com.example.App a b c ", L"-Dsun.java.launcher=SUN_STANDARD"}},
      {"the application's own command", {L"a"}, {L"-Dsun.java.command=Custom"}, {L"-Dsun.java.launcher=SUN_STANDARD"}},
      {"the application's own launcher name", {}, {L"-Dsun.java.launcher=mine"},
       {L"-Dsun.java.command=com.example.App"}},
      {"a longer name is another property", {}, {L"-Dsun.java.commandX=1"},
       {L"-Dsun.java.command=com.example.App", L"-Dsun.java.launcher=SUN_STANDARD"}},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(launcherProperties(L"com.example.App", row.arguments, row.vmParameters), row.expected);
  }
}

TEST_F(Assemble, LibraryPathOptionComesFirst) {
  const std::wstring jvm = style().windowsForms ? L"C:\\jre\\bin\\server\\jvm.dll" : L"/opt/jdk/lib/server/libjvm.so";
  test::ScopedEnvironment path(style().searchPathVariable, std::wstring(L"old"));
  test::ScopedEnvironment jvmPath(L"TARN_JVM_PATH", std::nullopt);
  test::ScopedEnvironment jvmHome(L"TARN_JVM_HOME", std::nullopt);
  const std::wstring missing = inFolder(L"shared/util.jar");
  settings_.classPath = missing;
  settings_.libraryPath = L"libs";
  settings_.vmParameters = L"-Xmx1g";
  prepareJvmEnvironment(jvm, settings_, paths_, setup_);
  EXPECT_EQ(assemble(), "");
  const std::vector<std::string>& options = setup_.options.options();
  ASSERT_EQ(options.size(), 5u);
  EXPECT_EQ(options[0].rfind(toJvmCodePage(std::wstring(L"-Djava.library.path=libs") + style().listSeparator), 0),
            0u);
  EXPECT_EQ(options[1], classPathOption({missing}));
  EXPECT_EQ(options[2], "-Xmx1g");
}

// The per-user parameters follow the configured ones, expanded; one that
// chooses code is refused with its message, and the rest still go.
TEST_F(Assemble, UserVmParametersFollowAndCodeChoosersAreRefused) {
  settings_.classPath = relative(L"lib/*.jar");
  settings_.vmParameters = L"-Xmx512m";
  settings_.userVmParameters = L"-Xmx2g -javaagent:%TARN_TEST_HOME%.jar \"-Dtitle=%TARN_TEST_HOME%\" -Xss1m";
  settings_.userFile = L"user.ini";
  EXPECT_EQ(assemble(), "Error: -javaagent:my home.jar in the per-user file user.ini chooses the code that runs: "
                        "it is not given to the Java VM. \n");
  EXPECT_EQ(setup_.options.options(),
            withProperties({classPathOption({inFolder(L"lib/a.jar")}), "-Xmx512m", "-Xmx2g", "-Dtitle=my home", "-Xss1m"}));
  EXPECT_EQ(setup_.stackSize, 1048576u);
}

// The JAR heads the class path, before the [Class Path] entries, and
// sun.java.command names it as written, separators and all.
TEST_F(Assemble, MainJarHeadsTheClassPathAndNamesTheCommand) {
  settings_.mainClass.clear();
  settings_.classPath = relative(L"lib/*.jar");
  const std::wstring jar = inFolder(L"app.jar");
  test::StdoutCapture capture;
  const std::wstring classPath = assembleClassPath(settings_, paths_, jar);
  ASSERT_TRUE(assembleJvmConfiguration(classPath, std::wstring(), settings_, setup_, arguments_, jar));
  EXPECT_EQ(capture.finish(), "");
  EXPECT_EQ(setup_.options.options(),
            (std::vector<std::string>{classPathOption({jar, inFolder(L"lib/a.jar")}),
                                      toJvmCodePage(L"-Dsun.java.command=" + jar + L" first"),
                                      "-Dsun.java.launcher=SUN_STANDARD"}));
  // Main Class wins: the JAR is then only the first entry.
  settings_.mainClass = L"com/example/App";
  EXPECT_EQ(commandHead(settings_, jar), L"com.example.App");
}

// A configured file (Main Jar, Splash Image) lies in the launcher's folder unless the path is absolute; a
// leading separator on Windows names that folder too, as for a class path entry.
TEST_F(Assemble, ConfiguredFilePathIsTakenAgainstTheLaunchersFolder) {
  const bool windows = style().windowsForms;
  const std::wstring root = windows ? L"C:\\apps\\app.jar" : L"/apps/app.jar";
  const struct {
    std::wstring configured;
    std::wstring expected;
  } cases[] = {
      {L"", L""},
      {L"app.jar", paths_.folder + L"app.jar"},
      {windows ? L"lib\\app.jar" : L"lib/app.jar", paths_.folder + (windows ? L"lib\\app.jar" : L"lib/app.jar")},
      {L"%TARN_TEST_HOME%.jar", paths_.folder + L"my home.jar"},
      {root, root},
  };
  for (const auto& row : cases) EXPECT_EQ(configuredFilePath(row.configured, paths_), row.expected);
  if (windows) {
    EXPECT_EQ(configuredFilePath(L"\\app.jar", paths_), paths_.folder + L"app.jar");
  }
}

TEST(UserVmParameters, WhatChoosesCode) {
  const struct {
    const wchar_t* parameter;
    bool refused;
  } cases[] = {
      {L"-Xmx4g", false},
      {L"-XX:MaxRAMPercentage=75", false},
      {L"-Dfile.encoding=UTF-8", false},
      {L"--add-opens=java.base/java.lang=ALL-UNNAMED", false},
      {L"-XX:+UseG1GC", false},
      {L"-javaagent:a.jar", true},
      {L"-agentpath:/x.so", true},
      {L"-agentlib:jdwp=transport=dt_socket", true},
      {L"-Xrunhprof", true},
      {L"-Xbootclasspath/a:x.jar", true},
      {L"-Djava.class.path=x.jar", true},
      {L"-Djava.system.class.loader=x.Loader", true},
      {L"-Djava.security.manager", true},
      {L"-Djava.security.manager=allow", true},
      {L"-Djava.library.path=/tmp", true},
      {L"-Djdk.module.path=/m", true},
      {L"--patch-module=java.base=x.jar", true},
      {L"--module-path=/m", true},
      {L"-XX:VMOptionsFile=opts.txt", true},
      {L"-XX:OnOutOfMemoryError=sh x", true},
      {L"-XX:OnError=sh x", true},
      {L"-XX:+EnableJVMCI", true},
      {L"-Djava.security.properties=my.security", true},
      {L"-XX:SharedArchiveFile=app.jsa", true},
      {L"-Xshare:off", false},
      // The VM reads its options in exact case: this one is no agent to it.
      {L"-JavaAgent:a.jar", false},
  };
  for (const auto& row : cases) {
    SCOPED_TRACE(testing::Message() << std::string(row.parameter, row.parameter + wcslen(row.parameter)));
    EXPECT_EQ(choosesCode(row.parameter), row.refused);
  }
}

}  // namespace
}  // namespace tarn
