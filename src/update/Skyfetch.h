#pragma once

// The update library's interface: the only two symbols libskyfetch exports.
//
// Both sides are our own modules, but they need not be built by the same compiler run,
// so nothing with a C++ layout crosses: the texts are NUL-terminated UTF-8 strings that
// the library only reads during the call (it copies them; the caller keeps ownership),
// and the parent window is the caller's QWidget, which both modules share through the
// same Qt library. No allocation made on one side is freed on the other.

#ifdef __cplusplus
class QWidget;
extern "C" {
#else
typedef struct QWidget QWidget;
#endif

#if defined(SKYFETCH_BUILDING)
#define SKYFETCH_API __attribute__((visibility("default")))
#else
#define SKYFETCH_API
#endif

// Asks the update server whether a newer version than `version` exists and, when there
// is one, downloads it; the dialog is modal to `parent` (may be null). True exactly when
// a newer file has arrived completely and was accepted; GetSetupFilePath then names it.
SKYFETCH_API bool CheckForUpdate(QWidget* parent, const char* version, const char* productName,
                                 const char* shortName);

// Copies at most `length` characters of the downloaded file's path into `buffer`; no
// terminator is added when the path fills the buffer. Always 1.
SKYFETCH_API int GetSetupFilePath(char* buffer, int length);

#ifdef __cplusplus
}
#endif
