#pragma once

#include <cstddef>

#include "window/texts.h"

namespace renpin::window {

// A text of texts.h as a wchar_t array, which the wide Windows functions take. On Windows both
// are UTF-16 code units, so the copy is exact; it is made when compiling, so the control table
// stays constant.
template <std::size_t Length>
struct WideText {
    wchar_t text[Length];
};

template <std::size_t Length>
consteval WideText<Length> widen(const char16_t (&text)[Length]) {
    WideText<Length> wide{};
    for (std::size_t i = 0; i < Length; ++i) {
        wide.text[i] = static_cast<wchar_t>(text[i]);
    }
    return wide;
}

namespace wide_texts {
inline constexpr auto caption = widen(texts::caption);
inline constexpr auto disclaimer = widen(texts::disclaimer);
inline constexpr auto query_button = widen(texts::query_button);
inline constexpr auto clear_button = widen(texts::clear_button);
inline constexpr auto visit_page_button = widen(texts::visit_page_button);
inline constexpr auto exit_button = widen(texts::exit_button);
inline constexpr auto status_bar = widen(texts::status_bar);
inline constexpr auto name_box_name = widen(texts::name_box_name);
inline constexpr auto output_box_name = widen(texts::output_box_name);
}  // namespace wide_texts

}  // namespace renpin::window
