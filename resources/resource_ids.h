/* Identifiers of the dialogs and their controls, shared by the resource
   script and the code that shows the dialogs. */
#ifndef TARN_RESOURCE_IDS_H
#define TARN_RESOURCE_IDS_H

/* JRE Not Found */
#define TARN_MISSING_JRE_DIALOG 201
#define TARN_MISSING_JRE_PATH 201
#define TARN_MISSING_JRE_BROWSE 202
#define TARN_MISSING_JRE_TEXT 203
#define TARN_MISSING_JRE_ICON 204
#define TARN_MISSING_JRE_LINK 205
#define TARN_MISSING_JRE_BROWSE_TEXT 206
/* The system's error icon (IDI_HAND); the executable has no icon of this number. */
#define TARN_MISSING_JRE_ICON_RESOURCE 32513

/* Java Exception */
#define TARN_EXCEPTION_DIALOG 231
#define TARN_EXCEPTION_TRACE 1001
#define TARN_EXCEPTION_IGNORE 1002
#define TARN_EXCEPTION_STOP 1003

/* The built-in settings (RCDATA): INI text as UTF-16LE, which the stamping
   tool writes and the launcher reads. */
#define TARN_BUILT_IN_SETTINGS 8000

/* Marks the executable as one of our launchers, so that the stamping tool
   takes no other file; stamping keeps it. */
#define TARN_LAUNCHER_MARK 8001
#define TARN_LAUNCHER_MARK_TEXT "Tarn launcher"

#endif
