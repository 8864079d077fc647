#include "platform/wide_text.h"

namespace renpin::platform {

std::wstring window_text(HWND window) {
    const int length = GetWindowTextLengthW(window);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

std::optional<std::string> to_ansi(std::wstring_view text) {
    if (text.empty()) {
        return std::string{};
    }
    const int wide_length = static_cast<int>(text.size());
    // UTF-8 as the ANSI code page (an option of newer Windows) takes neither the flag nor the
    // default-character report; there the read-back alone tells.
    const bool utf8 = GetACP() == CP_UTF8;
    const DWORD flags = utf8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL used_default = FALSE;
    BOOL* const used_default_report = utf8 ? nullptr : &used_default;
    const int size = WideCharToMultiByte(CP_ACP, flags, text.data(), wide_length, nullptr, 0,
                                         nullptr, used_default_report);
    if (size <= 0 || used_default) {
        return std::nullopt;
    }
    std::string narrow(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, flags, text.data(), wide_length, narrow.data(), size, nullptr,
                        used_default_report);
    // Only text that reads back unchanged is exact.
    std::wstring read_back(text.size(), L'\0');
    const int read_length = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, narrow.data(), size,
                                                read_back.data(), wide_length);
    if (used_default || read_length != wide_length || read_back != text) {
        return std::nullopt;
    }
    return narrow;
}

}  // namespace renpin::platform
