#include "cli/program.h"

#include <istream>
#include <ostream>
#include <string_view>
#include <utility>

#include "cli/utf8.h"
#include "evaluation/query.h"

namespace renpin::cli {
namespace {

constexpr std::string_view utf8_byte_order_mark = "\xEF\xBB\xBF";

// Stands in for the main window, keeping what the query writes to the output box and shows as
// a notice.
class CaptureWindow final : public QueryWindow {
  public:
    explicit CaptureWindow(std::u16string name) : name_(std::move(name)) {}

    std::u16string name_text() const override { return name_; }
    std::u16string output_text() const override { return output_; }
    void set_output_text(std::u16string_view text) override {
        output_ = text;
        written_ = true;
    }
    NoticeResult show_notice(std::u16string_view text, std::u16string_view, NoticeIcon,
                             NoticeButtons) override {
        notice_ = text;
        return NoticeResult::ok;
    }

    // A query that leaves the output box alone (the empty name) answers by its notice alone.
    const std::u16string& answer() const { return written_ ? output_ : notice_; }

  private:
    std::u16string name_;
    std::u16string output_;
    std::u16string notice_;
    bool written_ = false;
};

std::string answer(std::u16string name) {
    CaptureWindow window(std::move(name));
    run_query(window);
    std::string text = utf16_to_utf8(window.answer());
    // Reports end in CR LF already; the fixed texts get one too, so answers stay apart.
    if (!text.ends_with("\r\n")) {
        text += "\r\n";
    }
    return text;
}

int reject(std::ostream& out, std::ostream& err, const std::string& what) {
    // The answers so far stay, and come out before the message.
    out.flush();
    err << "renpin-cli: " << what << " is not valid UTF-8\n";
    return 2;
}

}  // namespace

int run(const std::vector<Argument>& arguments, std::istream& in, std::ostream& out,
        std::ostream& err) {
    if (arguments.empty()) {
        err << "usage: renpin-cli NAME...  (a NAME of - reads one name per line from standard "
               "input)\n";
        return 2;
    }
    std::size_t line_number = 0;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        if (!arguments[i]) {
            return reject(out, err, "argument " + std::to_string(i + 1));
        }
        if (*arguments[i] != u"-") {
            out << answer(*arguments[i]);
            continue;
        }
        std::string line;
        while (std::getline(in, line)) {
            ++line_number;
            if (line.ends_with('\r')) {
                line.pop_back();
            }
            // Notepad starts a UTF-8 file with a byte order mark; it is no part of the first name.
            if (line_number == 1 && line.starts_with(utf8_byte_order_mark)) {
                line.erase(0, utf8_byte_order_mark.size());
            }
            std::optional<std::u16string> name = utf8_to_utf16(line);
            if (!name) {
                return reject(out, err,
                              "line " + std::to_string(line_number) + " of standard input");
            }
            out << answer(std::move(*name));
        }
    }
    if (!out.flush()) {
        err << "renpin-cli: cannot write to standard output\n";
        return 1;
    }
    return 0;
}

}  // namespace renpin::cli
