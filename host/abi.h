/* Calling convention and handle types shared by the player's records.
   Every operation in the records is a plain cdecl function taking 32-bit
   arguments; on non-Windows builds (portable unit tests) the handle types are
   opaque pointers so that the headers still compile. */
#ifndef JUKORA_HOST_ABI_H
#define JUKORA_HOST_ABI_H

#ifdef _WIN32
#include <windows.h>
#define JK_CDECL __cdecl
#define JK_EXPORT __declspec(dllexport)
typedef HWND JkWindow;
typedef HINSTANCE JkInstance;
#else
#define JK_CDECL
#define JK_EXPORT __attribute__((visibility("default")))
typedef void* JkWindow;
typedef void* JkInstance;
#endif

#include <stddef.h>

#ifdef __cplusplus
#define JK_EXTERN_C extern "C"
#define JK_STATIC_ASSERT(cond, text) static_assert(cond, text)
#else
#define JK_EXTERN_C
#define JK_STATIC_ASSERT(cond, text) _Static_assert(cond, text)
#endif

/* Record layouts are checked where they are a binary contract: 32-bit Windows. */
#if defined(_WIN32) && !defined(_WIN64)
#define JK_CHECK_LAYOUT 1
#else
#define JK_CHECK_LAYOUT 0
#endif

#endif
