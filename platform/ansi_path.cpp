#include "platform/ansi_path.h"

#include <windows.h>

#include <optional>

#include "platform/wide_text.h"

namespace renpin::platform {
namespace {

std::optional<std::wstring> short_path(const std::wstring& path) {
    const DWORD size = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (size == 0) {
        return std::nullopt;
    }
    std::wstring result(size, L'\0');
    const DWORD length = GetShortPathNameW(path.c_str(), result.data(), size);
    if (length == 0 || length >= size) {
        return std::nullopt;
    }
    result.resize(length);
    return result;
}

std::optional<std::string> exact_short_path(const std::wstring& folder, std::wstring_view name) {
    const auto shortened = short_path(folder);
    return shortened ? to_ansi(*shortened + std::wstring(name)) : std::nullopt;
}

}  // namespace

std::string ansi_path(const std::wstring& path) {
    if (auto exact = to_ansi(path)) {
        return *exact;
    }
    if (auto exact = exact_short_path(path, L"")) {
        return *exact;
    }
    const auto separator = path.find_last_of(L"\\/");
    if (separator != std::wstring::npos) {
        // The file name keeps its separator, so a forward slash stays one.
        const std::wstring_view name = std::wstring_view(path).substr(separator);
        if (auto exact = exact_short_path(path.substr(0, separator), name)) {
            return *exact;
        }
    }
    return {};
}

}  // namespace renpin::platform
