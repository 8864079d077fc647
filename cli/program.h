#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace renpin::cli {

// A command-line argument's text, or nothing when its bytes are not valid UTF-8.
using Argument = std::optional<std::u16string>;

// Writes, as UTF-8, what the window would show for each name in turn; an argument "-" stands
// for the names on `in`, one a line. Returns the exit code: 0; 2 for no arguments or for a name
// that is not valid UTF-8, reported on `err` after the answers before it; 1 when `out` fails.
int run(const std::vector<Argument>& arguments, std::istream& in, std::ostream& out,
        std::ostream& err);

}  // namespace renpin::cli
