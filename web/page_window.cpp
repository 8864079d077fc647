#include "web/page_window.h"

#include <cstddef>

namespace renpin::web {
namespace {

// What the page's script provides. Texts cross as UTF-16 code units in the module's memory,
// which is what both sides hold, so nothing is converted and lone surrogates pass unchanged.
#define RENPIN_PAGE_IMPORT(name) __attribute__((import_module("page"), import_name(name)))

extern "C" {
RENPIN_PAGE_IMPORT("name_text_length") std::size_t page_name_text_length();
RENPIN_PAGE_IMPORT("read_name_text") void page_read_name_text(char16_t* into);
RENPIN_PAGE_IMPORT("output_text_length") std::size_t page_output_text_length();
RENPIN_PAGE_IMPORT("read_output_text") void page_read_output_text(char16_t* into);
RENPIN_PAGE_IMPORT("set_output_text")
void page_set_output_text(const char16_t* text, std::size_t length);
RENPIN_PAGE_IMPORT("show_notice")
int page_show_notice(const char16_t* text, std::size_t length, const char16_t* title,
                     std::size_t title_length, unsigned icon, unsigned buttons);
}

#undef RENPIN_PAGE_IMPORT

}  // namespace

std::u16string PageWindow::name_text() const {
    std::u16string text(page_name_text_length(), u'\0');
    page_read_name_text(text.data());
    return text;
}

std::u16string PageWindow::output_text() const {
    std::u16string text(page_output_text_length(), u'\0');
    page_read_output_text(text.data());
    return text;
}

void PageWindow::set_output_text(std::u16string_view text) {
    page_set_output_text(text.data(), text.size());
}

NoticeResult PageWindow::show_notice(std::u16string_view text, std::u16string_view title,
                                     NoticeIcon icon, NoticeButtons buttons) {
    return static_cast<NoticeResult>(page_show_notice(text.data(), text.size(), title.data(),
                                                      title.size(), static_cast<unsigned>(icon),
                                                      static_cast<unsigned>(buttons)));
}

}  // namespace renpin::web
