#pragma once

#include <windows.h>

#include <string_view>

#include "evaluation/notice.h"

namespace renpin::platform {

// The system's modal message box, owned by `owner`.
NoticeResult show_notice_box(HWND owner, std::u16string_view text, std::u16string_view title,
                             NoticeIcon icon, NoticeButtons buttons);

}  // namespace renpin::platform
