#pragma once

namespace renpin {

// Values are the system message box's own flags and results, so a window can pass them on
// unchanged.
enum class NoticeIcon : unsigned { information = 64, error = 16 };
enum class NoticeButtons : unsigned { ok = 0, yes_no = 4 };
enum class NoticeResult : int { ok = 1, cancel = 2, yes = 6, no = 7 };

}  // namespace renpin
