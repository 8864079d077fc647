#pragma once

#include "evaluation/query.h"

namespace renpin::web {

// The page's name box, output box and notice, as the query sees them. Every call goes to the
// page's script, so the query reads and writes the boxes the user sees.
class PageWindow final : public QueryWindow {
  public:
    PageWindow() = default;

    std::u16string name_text() const override;
    std::u16string output_text() const override;
    void set_output_text(std::u16string_view text) override;
    // Opens the page's modal notice and returns at once: a page cannot wait for the user inside
    // a call. The query's notice is the last thing it does and its answer is never looked at, so
    // the query ends while the notice is still open, and the page takes no other input until the
    // user has dismissed it.
    NoticeResult show_notice(std::u16string_view text, std::u16string_view title, NoticeIcon icon,
                             NoticeButtons buttons) override;
};

}  // namespace renpin::web
