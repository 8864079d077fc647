#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace renpin::platform {

// On Windows wchar_t and char16_t are both UTF-16 code units; these copy between the two.
[[nodiscard]] inline std::wstring to_wide(std::u16string_view text) {
    return {text.begin(), text.end()};
}
[[nodiscard]] inline std::u16string to_u16(std::wstring_view text) {
    return {text.begin(), text.end()};
}

// The whole text of a window or control, however long.
[[nodiscard]] std::wstring window_text(HWND window);

// Text in the ANSI code page, as narrow interfaces expect it; nothing where the code page cannot
// spell it exactly, since a guessed character can make a name name something else.
[[nodiscard]] std::optional<std::string> to_ansi(std::wstring_view text);

}  // namespace renpin::platform
