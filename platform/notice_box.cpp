#include "platform/notice_box.h"

#include "platform/wide_text.h"

namespace renpin::platform {

NoticeResult show_notice_box(HWND owner, std::u16string_view text, std::u16string_view title,
                             NoticeIcon icon, NoticeButtons buttons) {
    const UINT flags = static_cast<UINT>(icon) | static_cast<UINT>(buttons);
    const int pressed = MessageBoxW(owner, to_wide(text).c_str(), to_wide(title).c_str(), flags);
    return static_cast<NoticeResult>(pressed);
}

}  // namespace renpin::platform
