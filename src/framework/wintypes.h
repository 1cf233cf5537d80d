// Basic types and constants of the platform layer. Values are the ones the
// shell's own code is written against (message numbers, styles, results).
#pragma once

#include <cstddef>
#include <cstdint>

typedef int BOOL;
typedef unsigned char BYTE;
typedef unsigned short WORD;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef uintptr_t ULONG_PTR;
typedef intptr_t LONG_PTR;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef DWORD COLORREF;
typedef int32_t HRESULT;
typedef wchar_t WCHAR;
typedef const wchar_t* LPCWSTR;
typedef wchar_t* LPWSTR;
typedef const char* LPCSTR;
typedef void* LPVOID;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

// Opaque handles. Each is a distinct pointer type so they cannot be mixed up.
#define QUORIN_DECLARE_HANDLE(name) \
  struct name##__;                  \
  typedef name##__* name
QUORIN_DECLARE_HANDLE(HWND);
QUORIN_DECLARE_HANDLE(HINSTANCE);
QUORIN_DECLARE_HANDLE(HICON);
QUORIN_DECLARE_HANDLE(HCURSOR);
QUORIN_DECLARE_HANDLE(HRSRC);
QUORIN_DECLARE_HANDLE(HGLOBAL);
QUORIN_DECLARE_HANDLE(HDC);
QUORIN_DECLARE_HANDLE(HGDIOBJ);
typedef HINSTANCE HMODULE;
typedef HGDIOBJ HBRUSH;
typedef HGDIOBJ HFONT;
typedef HGDIOBJ HBITMAP;
typedef void (*FARPROC)();

struct POINT {
  LONG x;
  LONG y;
};
struct SIZE {
  LONG cx;
  LONG cy;
};
struct RECT {
  LONG left;
  LONG top;
  LONG right;
  LONG bottom;
};
typedef RECT* LPRECT;
typedef const RECT* LPCRECT;
typedef POINT* LPPOINT;

inline WORD LOWORD(uintptr_t v) { return static_cast<WORD>(v & 0xFFFF); }
inline WORD HIWORD(uintptr_t v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
inline int GET_X_LPARAM(LPARAM lp) { return static_cast<short>(LOWORD(static_cast<uintptr_t>(lp))); }
inline int GET_Y_LPARAM(LPARAM lp) { return static_cast<short>(HIWORD(static_cast<uintptr_t>(lp))); }
inline LPARAM MAKELPARAM(int lo, int hi) {
  return static_cast<LPARAM>((static_cast<uint32_t>(static_cast<WORD>(lo))) |
                             (static_cast<uint32_t>(static_cast<WORD>(hi)) << 16));
}
inline WPARAM MAKEWPARAM(int lo, int hi) { return static_cast<WPARAM>(MAKELPARAM(lo, hi)) & 0xFFFFFFFFu; }
inline COLORREF RGB(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
inline int GetRValue(COLORREF c) { return c & 0xFF; }
inline int GetGValue(COLORREF c) { return (c >> 8) & 0xFF; }
inline int GetBValue(COLORREF c) { return (c >> 16) & 0xFF; }

// Integer resource names, as MAKEINTRESOURCE gives them.
inline LPCWSTR MAKEINTRESOURCEW(UINT id) { return reinterpret_cast<LPCWSTR>(static_cast<uintptr_t>(id & 0xFFFF)); }
#define MAKEINTRESOURCE MAKEINTRESOURCEW
inline bool IS_INTRESOURCE(LPCWSTR p) { return (reinterpret_cast<uintptr_t>(p) >> 16) == 0; }

// HRESULT values.
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = static_cast<HRESULT>(0x80004001);
constexpr HRESULT E_NOINTERFACE = static_cast<HRESULT>(0x80004002);
constexpr HRESULT E_POINTER = static_cast<HRESULT>(0x80004003);
constexpr HRESULT E_FAIL = static_cast<HRESULT>(0x80004005);
constexpr HRESULT E_OUTOFMEMORY = static_cast<HRESULT>(0x8007000E);
constexpr HRESULT E_INVALIDARG = static_cast<HRESULT>(0x80070057);
constexpr HRESULT DISP_E_UNKNOWNNAME = static_cast<HRESULT>(0x80020006);
constexpr HRESULT DISP_E_MEMBERNOTFOUND = static_cast<HRESULT>(0x80020003);
constexpr HRESULT DISP_E_TYPEMISMATCH = static_cast<HRESULT>(0x80020005);
constexpr HRESULT DISP_E_BADPARAMCOUNT = static_cast<HRESULT>(0x8002000E);
inline bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
inline bool FAILED(HRESULT hr) { return hr < 0; }

// Message-box styles and answers.
constexpr UINT MB_OK = 0x0;
constexpr UINT MB_OKCANCEL = 0x1;
constexpr UINT MB_ICONERROR = 0x10;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
