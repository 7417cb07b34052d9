#pragma once
// Sends the Java VM's System.out / System.err into log files, with an optional
// time stamp in the file name.

#include <jni.h>

#include <cstdint>
#include <string>
#include <vector>

namespace tarn {

// One reading of the local clock, field for field as the Windows SYSTEMTIME
// (month 1-12, dayOfWeek 0 = Sunday).
struct LocalTime {
  int year;
  int month;
  int dayOfWeek;
  int day;
  int hour;
  int minute;
  int second;
  int milliseconds;
};

enum class StandardStream { Output, Error };

LocalTime currentLocalTime();

// Replaces the stamp between the first and the last '%' of `name` by the time
// written with that text as a time and date picture ("L" = milliseconds).
// A name without '%' is left as it is; a single '%' is removed.
void stampFileName(std::wstring& name, const LocalTime& time);

// new FileOutputStream(file, append) wrapped in a PrintStream and installed
// with System.setOut / System.setErr; missing folders on the way to the file
// are created first. False when any step fails. An exception thrown by
// setOut / setErr is described and cleared here; one thrown while building
// the streams stays pending for the caller.
bool redirectStream(JNIEnv* env, const std::wstring& file, bool append, StandardStream which);

// Creates the missing folders above the file `path` (rules in
// parent_directories.h). 0 on success, otherwise the platform error code of
// the folder that could not be made; the folders this call made are removed
// again when it fails.
uint32_t ensureParentDirectories(const std::wstring& path);

}  // namespace tarn
