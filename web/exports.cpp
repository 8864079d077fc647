// The functions the page's script calls.
#include <array>
#include <cstddef>
#include <string_view>

#include "evaluation/query.h"
#include "web/page_window.h"
#include "window/texts.h"

namespace {

#define RENPIN_EXPORT(name) extern "C" __attribute__((export_name(name)))

struct NamedText {
    const char* key;  // how the page refers to it: ASCII, ends in NUL
    std::u16string_view text;
};

// The window's texts, each under the name the page's template uses for it.
constexpr std::array window_texts{
    NamedText{"caption", renpin::texts::caption},
    NamedText{"disclaimer", renpin::texts::disclaimer},
    NamedText{"query_button", renpin::texts::query_button},
    NamedText{"clear_button", renpin::texts::clear_button},
    NamedText{"visit_page_button", renpin::texts::visit_page_button},
    NamedText{"exit_button", renpin::texts::exit_button},
    NamedText{"status_bar", renpin::texts::status_bar},
    NamedText{"name_box_name", renpin::texts::name_box_name},
    NamedText{"output_box_name", renpin::texts::output_box_name},
    NamedText{"close_question", renpin::texts::close_question},
    NamedText{"close_question_title", renpin::texts::close_question_title},
};

}  // namespace

// The query button's action on the page's boxes and notice.
RENPIN_EXPORT("run_query") void run_query() {
    renpin::web::PageWindow window;
    renpin::run_query(window);
}

RENPIN_EXPORT("window_text_count") std::size_t window_text_count() {
    return window_texts.size();
}

RENPIN_EXPORT("window_text_key") const char* window_text_key(std::size_t index) {
    return window_texts.at(index).key;
}

RENPIN_EXPORT("window_text") const char16_t* window_text(std::size_t index) {
    return window_texts.at(index).text.data();
}

RENPIN_EXPORT("window_text_length") std::size_t window_text_length(std::size_t index) {
    return window_texts.at(index).text.size();
}
