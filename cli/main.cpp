#include <iostream>
#include <vector>

#include "cli/program.h"

#ifdef _WIN32

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <string_view>

// Windows passes the arguments as UTF-16; they are taken unit for unit, so even a lone
// surrogate is scored like any other code unit.
int wmain(int argc, wchar_t* argv[]) {
    // Bytes pass unchanged: no LF to CR LF on output, no CR LF to LF or Ctrl+Z end on input.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    std::vector<renpin::cli::Argument> arguments;
    for (int i = 1; i < argc; ++i) {
        const std::wstring_view argument(argv[i]);
        arguments.emplace_back(std::u16string(argument.begin(), argument.end()));
    }
    return renpin::cli::run(arguments, std::cin, std::cout, std::cerr);
}

#else

#include "cli/utf8.h"

int main(int argc, char* argv[]) {
    std::vector<renpin::cli::Argument> arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.push_back(renpin::utf8_to_utf16(argv[i]));
    }
    return renpin::cli::run(arguments, std::cin, std::cout, std::cerr);
}

#endif
