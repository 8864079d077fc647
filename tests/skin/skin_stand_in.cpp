// Stands in for the third-party skin library in tests: records how it was called and applies
// no skin.
#include <string>

namespace {

int call_count = 0;
std::string skin_file;
std::string second_argument;

}  // namespace

extern "C" {

__declspec(dllexport) int __stdcall SkinH_AttachEx(const char* file, const char* password) {
    ++call_count;
    skin_file = file != nullptr ? file : "<null>";
    second_argument = password != nullptr ? password : "<null>";
    // A real library reports failure for a skin file it cannot use; the program must not care.
    return -1;
}

__declspec(dllexport) int StandIn_CallCount() {
    return call_count;
}
__declspec(dllexport) const char* StandIn_SkinFile() {
    return skin_file.c_str();
}
__declspec(dllexport) const char* StandIn_SecondArgument() {
    return second_argument.c_str();
}
}
