// The worker thread's stack on Linux.
#include <pthread.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <thread>

#include "launcher/launcher.h"
#include "run/worker_thread.h"
#include "unit/fake_jni.h"
#include "unit/stdout_capture.h"

namespace tarn {
namespace {

size_t currentThreadStackSize() {
  pthread_attr_t attributes;
  size_t size = 0;
  if (pthread_getattr_np(pthread_self(), &attributes) == 0) {
    pthread_attr_getstacksize(&attributes, &size);
    pthread_attr_destroy(&attributes);
  }
  return size;
}

TEST(WorkerThreadPosix, StackHasAtLeastTheRequestedSize) {
  for (uint64_t requested : {uint64_t{1}, uint64_t{3 * 1024 * 1024 + 1}}) {
    SCOPED_TRACE(requested);
    test::FakeJni fake;
    fake.createResult = JNI_ERR;
    size_t seen = 0;
    fake.onCreate = [&] { seen = currentThreadStackSize(); };
    Launcher launcher;
    launcher.createJavaVmEntry = &test::fakeCreateJavaVm;
    launcher.threadStackSize = requested;
    test::StdoutCapture capture;
    EXPECT_EQ(launcher.runJavaApplication(), 1);
    capture.finish();
    EXPECT_GE(seen, requested);
    EXPECT_GE(seen, static_cast<size_t>(PTHREAD_STACK_MIN));
  }
}

TEST(WorkerThreadPosix, StackTooLargeForAThreadRunsOnTheCallingThread) {
  test::FakeJni fake;
  fake.createResult = JNI_ERR;
  Launcher launcher;
  launcher.createJavaVmEntry = &test::fakeCreateJavaVm;
  launcher.threadStackSize = UINT64_MAX;
  test::StdoutCapture capture;
  EXPECT_EQ(launcher.runJavaApplication(), 1);
  capture.finish();
  EXPECT_EQ(fake.createThread, std::this_thread::get_id());
}

}  // namespace
}  // namespace tarn
