#include "launcher/launcher.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "config/launcher_paths.h"

namespace tarn {
namespace {

// A Java VM that only counts how often it is destroyed.
struct CountingJavaVm {
  JavaVM vm;
  JNIInvokeInterface_ functions{};
  int destroyed = 0;

  CountingJavaVm() {
    functions.DestroyJavaVM = &destroy;
    vm.functions = &functions;
  }

  static jint JNICALL destroy(JavaVM* self) {
    ++reinterpret_cast<CountingJavaVm*>(self)->destroyed;
    return JNI_OK;
  }
};

TEST(Launcher, InitialValues) {
  Launcher launcher;
  EXPECT_EQ(Launcher::current(), &launcher);
  EXPECT_EQ(launcher.hookListener, nullptr);
  EXPECT_EQ(launcher.javaVm, nullptr);
  EXPECT_TRUE(launcher.jvmDllPath.empty());
  EXPECT_EQ(launcher.minVersion, JavaVersion{});
  EXPECT_EQ(launcher.maxVersion, JavaVersion{});
  EXPECT_TRUE(launcher.sourceAny);
  EXPECT_FALSE(launcher.sourceJdk || launcher.sourceJre);
  EXPECT_TRUE(launcher.acceptSun && launcher.favorSun);
  EXPECT_FALSE(launcher.acceptJRockit || launcher.acceptIbm || launcher.favorJRockit || launcher.favorIbm);
  EXPECT_FALSE(launcher.isService || launcher.guardEnabled || launcher.isFirstInstance || launcher.relaunchPair);
  EXPECT_EQ(launcher.threadStackSize, 0u);
  EXPECT_EQ(launcher.createJavaVmEntry, nullptr);
}

TEST(Launcher, TeardownDestroysTheVmOnce) {
  CountingJavaVm vm;
  {
    Launcher launcher;
    launcher.javaVm = &vm.vm;
  }
  EXPECT_EQ(vm.destroyed, 1);
  EXPECT_EQ(Launcher::current(), nullptr);
}

TEST(Launcher, SetWorkingDirectoryMovesToTheLaunchersFolder) {
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(std::filesystem::temp_directory_path());
  Launcher launcher;
  std::wstring folder;
  ASSERT_TRUE(launcher.moduleFolder(folder));
  launcher.setWorkingDirectory();
  const std::filesystem::path after = std::filesystem::current_path();
  std::filesystem::current_path(before);
  EXPECT_EQ(after.wstring() + nativePathStyle().separator, folder);
}

}  // namespace
}  // namespace tarn
