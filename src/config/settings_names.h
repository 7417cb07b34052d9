#pragma once
// The sections and keys of the configuration file, written exactly as users
// write them. In the file they match without regard to case; in the built-in
// settings exactly.

namespace tarn {
namespace settings {

// Sections. Each may have a companion "<name>+" whose values are added.
inline constexpr wchar_t kProductInformation[] = L"Product Information";
inline constexpr wchar_t kJavaRuntimeEnvironment[] = L"Java Runtime Environment";
inline constexpr wchar_t kApplication[] = L"Application";
inline constexpr wchar_t kClassPath[] = L"Class Path";

// [Product Information]: read from the file alone, before the layered reader exists.
inline constexpr wchar_t kProductCode[] = L"Product Code";
inline constexpr wchar_t kUpgradeCode[] = L"Upgrade Code";
inline constexpr wchar_t kProductName[] = L"Product Name";

// [Java Runtime Environment]
inline constexpr wchar_t kMinimumVersion[] = L"Minimum Version";
inline constexpr wchar_t kMaximumVersion[] = L"Maximum Version";
inline constexpr wchar_t kPreferredVersions[] = L"Preferred versions";
inline constexpr wchar_t kJrePath[] = L"JRE Path";
inline constexpr wchar_t kJvmType[] = L"JVM Type";
inline constexpr wchar_t kJvmSource[] = L"JVM Source";
inline constexpr wchar_t kVmProvider[] = L"VM Provider";
inline constexpr wchar_t kMainClass[] = L"Main Class";
inline constexpr wchar_t kMainJar[] = L"Main Jar";
inline constexpr wchar_t kMainModule[] = L"Main Module";
inline constexpr wchar_t kModulePath[] = L"Module Path";
inline constexpr wchar_t kSystemPath[] = L"System Path";
inline constexpr wchar_t kLibraryPath[] = L"Library Path";
inline constexpr wchar_t kVirtualMachineParameters[] = L"Virtual Machine Parameters";
inline constexpr wchar_t kDownloadUrl[] = L"Download URL";
inline constexpr wchar_t kRegistrySearch[] = L"Registry Search";
inline constexpr wchar_t kUseJavaHome[] = L"Use JAVA_HOME";
inline constexpr wchar_t kSplashImage[] = L"Splash Image";
inline constexpr wchar_t kClassDataSharing[] = L"Class Data Sharing";
inline constexpr wchar_t kUserVmParameters[] = L"User VM Parameters";

// [Application]
inline constexpr wchar_t kApplicationType[] = L"Application Type";
inline constexpr wchar_t kOmitServiceName[] = L"Omit Service Name";
inline constexpr wchar_t kFailureCheck[] = L"Failure Check";
inline constexpr wchar_t kOverrideWorkingDir[] = L"Override WorkingDir";
inline constexpr wchar_t kPairProduct[] = L"Pair Product";
inline constexpr wchar_t kPairReturnCode[] = L"Pair Return Code";
inline constexpr wchar_t kSingleInstance[] = L"Single Instance";
inline constexpr wchar_t kEmbeddedJar[] = L"Embedded Jar";
inline constexpr wchar_t kOutputFile[] = L"Output File";
inline constexpr wchar_t kOutputAppend[] = L"Output Append";
inline constexpr wchar_t kErrorFile[] = L"Error File";
inline constexpr wchar_t kErrorAppend[] = L"Error Append";
inline constexpr wchar_t kCmd[] = L"Cmd";
inline constexpr wchar_t kRestartExitCode[] = L"Restart Exit Code";
inline constexpr wchar_t kKeepOutputFiles[] = L"Keep Output Files";

// [Class Path]
inline constexpr wchar_t kClassPathKey[] = L"Class Path";

// Only in the built-in settings: whether the file may set every key, or
// only the few of config/closed_file_keys.h.
inline constexpr wchar_t kBuiltInSettings[] = L"Built-in Settings";
inline constexpr wchar_t kOpenToFile[] = L"Open To File";

}  // namespace settings
}  // namespace tarn
