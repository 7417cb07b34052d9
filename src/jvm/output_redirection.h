#pragma once
// Sends the Java VM's System.out / System.err into log files, with an optional
// time stamp in the file name.

#include <jni.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/local_time.h"

namespace tarn {

enum class StandardStream { Output, Error };

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

}  // namespace tarn
