/* Machine-dependent JNI types for Windows (x64 and x86), used with the JDK's
   jni.h in place of the Linux jni_md.h that the JDK package carries. */
#ifndef TARN_JNI_MD_H
#define TARN_JNI_MD_H

#ifndef JNIEXPORT
#define JNIEXPORT __declspec(dllexport)
#endif
#define JNIIMPORT __declspec(dllimport)
/* The JNI calling convention: stdcall on x86; on x64 there is only one. */
#define JNICALL __stdcall

typedef long jint;
typedef long long jlong;
typedef signed char jbyte;

#endif
