#pragma once
// Serving a second start's request in the running copy: its arguments go to
// the main class's static "secondaryMain", in either of its two forms, and
// the answer goes back to the second start through `answer`.

#include <jni.h>

#include <string>
#include <vector>

namespace tarn {

// Attaches the calling thread to `vm`, calls secondaryMain(String[]) of
// mainClass and detaches again unless threadsStayAttached. The void form is
// answered with 0 before it is called (the second start may end before the
// method has run); the int form with what it returns, whether or not it
// threw. A missing class or method, or arguments that cannot be made, are
// not answered; the VM describes what was left pending. True when `answer`
// was called (with `context`).
using SecondaryAnswer = void (*)(void* context, jint value);
bool serveSecondaryMain(JavaVM* vm, const std::wstring& mainClass, const std::vector<std::wstring>& arguments,
                        bool threadsStayAttached, SecondaryAnswer answer, void* context);

}  // namespace tarn
