#pragma once
// Names for the elements of the main window's control arrays. The arrays keep
// their indices (a handler still receives Index); code and tests say which
// element they mean by these names instead of bare numbers.

namespace morvane::ui {

// CmdButton
inline constexpr int kGbToUtf = 0;    ///< "&GB2312转UTF-8"
inline constexpr int kUtfToGb = 1;    ///< "&UTF-8转GB2312"
inline constexpr int kSwap = 2;       ///< "代码互换(&R)"
inline constexpr int kWmlExample = 3; ///< "&WML源码实例"
inline constexpr int kCopyResult = 4; ///< "复制结果(&C)"
inline constexpr int kClear = 5;      ///< "清空代码(&D)"
inline constexpr int kExit = 6;       ///< "退出(&E)"
inline constexpr int kAbout = 7;      ///< "关于本软件(&A)"

// ChkChoose
inline constexpr int kWordWrap = 0;     ///< "启用自动换行"
inline constexpr int kKeepOnTop = 1;    ///< "保持窗体最前"
inline constexpr int kAutoHide = 2;     ///< "自动隐藏窗体"
inline constexpr int kExitReminder = 3; ///< "退出时提醒我"

// ChkOption: which group a colour pick reaches.
inline constexpr int kColourText = 0;    ///< "文": the text boxes
inline constexpr int kColourWindow = 1;  ///< "窗": the panel and option controls
inline constexpr int kColourButtons = 2; ///< "钮": the command buttons

// ComboColor
inline constexpr int kRed = 0;
inline constexpr int kGreen = 1;
inline constexpr int kBlue = 2;

} // namespace morvane::ui
