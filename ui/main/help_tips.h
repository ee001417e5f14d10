#pragma once
// The help tips the status bar shows for the controls under the pointer, one
// table for the window and its tests. Indices follow the control arrays
// (ui/main/control_index.h).

#include <array>

namespace morvane::ui {

// Every tip is shown behind this prefix (with an ASCII colon, unlike the
// full-width colon of the box's text at creation).
inline constexpr char16_t kTipPrefix[] = u"帮助提示:";

inline constexpr std::array<const char16_t*, 4> kChooseTips = {
    u"可以选择文本框是否自动换行,默认自动换行。",
    u"使程序在所有窗口最上面,默认不是窗体最前。",
    u"当你选择了此项,当窗体靠近屏幕边缘时,会自动隐藏,就像QQ那样。",
    u"选择此项,可以在关闭时,弹出询问窗口,减免操作失误而丢失数据。",
};

inline constexpr std::array<const char16_t*, 3> kOptionTips = {
    u"选中此项，设置的颜色对文本框有效。",
    u"选中此项，设置的颜色对窗体有效。",
    u"选中此项，设置的颜色对按钮有效。",
};

inline constexpr std::array<const char16_t*, 8> kButtonTips = {
    u"将GB2312编码形式的代码转换成UTF-8形式。",
    u"将UTF-8编码形式的代码转换成GB2312形式。",
    u"将左侧上下文本框中的内容互换。",
    u"显示代码事例，可供参考。",
    u"复制左侧下边文本框中的代码",
    u"清空文本框中的所有内容。",
    u"退出程序，假如您选择了|退出时提醒我|退出时将提醒是否退出。",
    u"查看关于本程序的说明。",
};

inline constexpr char16_t kInputTip[] = u"此处显示的是需要被转码的内容。";
inline constexpr char16_t kOutputTip[] = u"此处显示的是转码后的内容。";

} // namespace morvane::ui
