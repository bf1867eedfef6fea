#pragma once
// The skin engine's window property names, timer ids and message numbers, in one place. Platform-free: the
// numbers are plain integers so that the state machines that use them build and test without a window system.
#include <cstdint>

namespace skin {

// Window properties. Every property of the engine carries the "SKINSE_" prefix except the rich-edit one.
inline constexpr const wchar_t* kPropSkinObject = L"SKINSE_PROC";       // a dressed window -> its skin object
inline constexpr const wchar_t* kPropMenuOwnerProc = L"SKINSE_B";       // menu owner -> its previous procedure
inline constexpr const wchar_t* kPropPaintRedirect = L"SKINSE_D";       // begin/end paint replacement record
inline constexpr const wchar_t* kPropDcRedirect = L"SKINSE_E";          // get/release DC replacement record
inline constexpr const wchar_t* kPropRichEditScroll = L"PROP_SkinSE";   // rich edit -> its scroll-bar record
inline constexpr const wchar_t* kPropShadowFrame = L"SKINSE_F";         // shadow window -> its frame
inline constexpr const wchar_t* kPropShadowMarker = L"SKINSE_J";        // frame marker read by shadow windows
inline constexpr const wchar_t* kPropAnimate = L"SKINSE_ANIMATE";       // host -> its running animation player

// Window timers.
inline constexpr unsigned kTimerGifPlayer = 2132;
inline constexpr unsigned kTimerPngPlayer = 11202;
inline constexpr unsigned kTimerCaptionButtons = 26149;  // 150 ms: clears the caption button state
inline constexpr unsigned kTimerMenuBarOpen = 26150;     // 10 ms chain opening a menu bar item's menu
inline constexpr unsigned kTimerMenuBarTrack = 26151;
inline constexpr unsigned kTimerMenuBarHover = 26152;    // 200 ms: clears the menu bar's hover state

// Messages of the engine (fixed numbers, not registered).
inline constexpr uint32_t SKINMSG_ITEMCLICK = 6324;      // an event item was clicked
inline constexpr uint32_t kMsgClientPainted = 6326;      // wParam: the client back buffer's device context
inline constexpr uint32_t SKINMSG_SPINCLICK = 6327;      // a spin button was clicked
inline constexpr uint32_t kMsgRegisterLayout = 4242;     // a child asks its frame to place it
inline constexpr uint32_t kMsgPaintChildBackground = 2287;  // a child asks its frame to paint its background
inline constexpr uint32_t kMsgCreateNotify = 27184;      // private create notification of MDI clients
inline constexpr uint32_t kMsgWriteBackScroll = 27185;   // a skin writes its bars' scroll state to the platform
inline constexpr uint32_t kMsgNonClientPainted = 29697;  // sent after the engine painted the non-client area
inline constexpr int32_t kHitMenuBar = 4609;             // private hit-test code of the drawn menu bar
inline constexpr int32_t kHitHorizontalBar = 32769;      // hit-test codes of the skin-drawn scroll bars
inline constexpr int32_t kHitVerticalBar = 32770;

}  // namespace skin
