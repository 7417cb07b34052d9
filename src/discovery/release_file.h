#pragma once
// A Java home's "release" file: KEY="value" lines that name the runtime's
// version (JAVA_VERSION) and, in the builds of Adoptium's scripts, its VM
// (JVM_VARIANT="Openj9" or "Hotspot").

#include <string>

namespace tarn {

// The value of the line that starts with `key` and "=", its quotes removed
// and its bytes taken as characters; false when no line names the key or
// its value is empty.
bool releaseValue(const std::string& text, const char* key, std::wstring& value);

// The JAVA_VERSION of a "release" file's text ("17.0.9", quoted or not);
// false when the file names none.
bool javaVersionOfRelease(const std::string& text, std::wstring& version);

// The start of the file at `path`, enough for the lines above; false when
// it is no regular file or cannot be read.
bool readReleaseFile(const std::wstring& path, std::string& bytes);

}  // namespace tarn
