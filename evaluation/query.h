#pragma once

#include <string>
#include <string_view>

#include "evaluation/notice.h"

namespace renpin {

// What the query needs of the main window: the name box, the output box and the notice box.
class QueryWindow {
  public:
    virtual ~QueryWindow() = default;

    virtual std::u16string name_text() const = 0;
    virtual std::u16string output_text() const = 0;
    virtual void set_output_text(std::u16string_view text) = 0;
    virtual NoticeResult show_notice(std::u16string_view text, std::u16string_view title,
                                     NoticeIcon icon, NoticeButtons buttons) = 0;

  protected:
    QueryWindow() = default;
    QueryWindow(const QueryWindow&) = default;
    QueryWindow& operator=(const QueryWindow&) = default;
};

// Answers the name in the name box: a reproach for an empty name, a fixed text for a favoured
// or disfavoured name, otherwise the computed report. The answer replaces the output box's text
// and is then repeated, as read back from the box, in a notice.
void run_query(QueryWindow& window);

}  // namespace renpin
