#pragma once
// Java strings and string arrays built from wide text.

#include <jni.h>

#include <string>
#include <vector>

namespace tarn {

// A new local reference to a java.lang.String holding the text's UTF-16 code
// units (base/text.h, toUtf16), or null when the VM fails a step.
jstring newJavaString(JNIEnv* env, const std::wstring& text);

// A new local reference to a String[] holding the texts in order (an empty
// list gives a zero-length array), or null when a step fails.
jobjectArray newJavaStringArray(JNIEnv* env, const std::vector<std::wstring>& texts);

}  // namespace tarn
