#include "dialog_templates.h"

#include "framework/messages.h"

namespace {

constexpr DWORD kPopupDialog = WS_POPUP | WS_VISIBLE | DS_SETFONT | DS_FIXEDSYS | DS_3DLOOK;
static_assert(kPopupDialog == 0x9000004C, "pop-up dialog style");
constexpr DWORD kConfirmStyle = WS_POPUP | WS_VISIBLE | WS_SYSMENU | DS_SETFONT | DS_3DLOOK;
static_assert(kConfirmStyle == 0x90080044, "confirmation style");

constexpr DWORD kChildVisibleTab = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kCloseButtonStyle = kChildVisibleTab | BS_OWNERDRAW | BS_BITMAP | BS_LEFT;
static_assert(kCloseButtonStyle == 0x5001018B, "close button style");
constexpr DWORD kMinimiseButtonStyle = kChildVisibleTab | BS_OWNERDRAW | BS_BITMAP;
static_assert(kMinimiseButtonStyle == 0x5001008B, "minimise button style");
constexpr DWORD kPushButtonStyle = kChildVisibleTab | BS_PUSHBUTTON;
static_assert(kPushButtonStyle == 0x50010000, "push button style");
constexpr DWORD kCentredStaticStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER;
static_assert(kCentredStaticStyle == 0x50020001, "centred static style");

constexpr WORD kNormalWeight = 400;
constexpr BYTE kDefaultCharset = 1;
constexpr BYTE kGb2312Charset = 134;

// The browser control's persisted default state, as the control reads it
// at creation. Little-endian fields:
//   u32 size of the record
//   u32 version (1)
//   i32 width, i32 height of the control's default extent in HIMETRIC
//       (0.01 mm): 640 × 460 pixels at 96 dots per inch
//   u16 flags: bit 0 silent, 1 offline, 2 register as browser, 3 register
//       as drop target, 4 theatre mode, 5 address bar, 6 menu bar,
//       7 status bar, 8 tool bar, 9 visible
//   u32 address length in UTF-16 units (0: no address), then the address
const unsigned char kBrowserInitData[] = {
    0x16, 0x00, 0x00, 0x00,  // record size 22
    0x01, 0x00, 0x00, 0x00,  // version 1
    0x25, 0x42, 0x00, 0x00,  // width 16933
    0x8B, 0x2F, 0x00, 0x00,  // height 12171
    0x08, 0x02,              // register as drop target, visible
    0x00, 0x00, 0x00, 0x00,  // no address
};
static_assert(sizeof kBrowserInitData == 0x16, "the record's size field");

const DialogItemTemplate kLoginPanelItems[] = {
    {1005, L"Button", L"", kCloseButtonStyle, WS_EX_TRANSPARENT, 366, 0, 14, 16, nullptr, 0},
    {1006, L"Button", L"", kMinimiseButtonStyle, WS_EX_TRANSPARENT, 347, 0, 13, 14, nullptr, 0},
    {1000, L"{8856F961-340A-11D0-A96B-00C04FD705A2}", L"", WS_CHILD, 0, 0, 17, 372, 265, kBrowserInitData,
     sizeof kBrowserInitData},
};

const DialogItemTemplate kConfirmationItems[] = {
    {1002, L"Static", L"Static", kCentredStaticStyle, WS_EX_TRANSPARENT, 35, 7, 76, 9, nullptr, 0},
    {1008, L"Button", L"Button1", kPushButtonStyle, 0, 18, 35, 50, 14, nullptr, 0},
    {1009, L"Button", L"Button2", kPushButtonStyle, 0, 80, 35, 50, 14, nullptr, 0},
    {1003, L"Static", L"确定要退出游戏吗？", kCentredStaticStyle, WS_EX_TRANSPARENT, 16, 17, 110, 24, nullptr, 0},
};

}  // namespace

const DialogTemplate kMainWindowTemplate = {
    kPopupDialog, WS_EX_APPWINDOW, 0, 0, 561, 386, L"", L"MS Shell Dlg", 9, kNormalWeight, kDefaultCharset,
    nullptr,      0};

const DialogTemplate kLoginPanelTemplate = {
    kPopupDialog, 0, 0, 0, 387, 333, L"", L"MS Shell Dlg", 9, kNormalWeight, kDefaultCharset, kLoginPanelItems,
    sizeof kLoginPanelItems / sizeof kLoginPanelItems[0]};

const DialogTemplate kConfirmationTemplate = {
    kConfirmStyle, 0, 0, 0, 256, 110, L"", L"宋体", 10, kNormalWeight, kGb2312Charset, kConfirmationItems,
    sizeof kConfirmationItems / sizeof kConfirmationItems[0]};
