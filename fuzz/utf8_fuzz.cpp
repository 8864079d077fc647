// The strict UTF-8 decoder against glibc's iconv: both must agree on whether the bytes are
// well-formed and, when they are, on every UTF-16 code unit; the encoder must give the bytes
// back.
#include <iconv.h>

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/utf8.h"
#include "fuzz/require.h"

namespace {

using renpin::fuzz::require;

class Utf8ToUtf16le {
  public:
    Utf8ToUtf16le() : handle_(iconv_open("UTF-16LE", "UTF-8")) {
        require(handle_ != invalid(), "iconv_open UTF-8 to UTF-16LE");
    }
    ~Utf8ToUtf16le() { iconv_close(handle_); }
    Utf8ToUtf16le(const Utf8ToUtf16le&) = delete;
    Utf8ToUtf16le& operator=(const Utf8ToUtf16le&) = delete;

    // Nothing for ill-formed or truncated input.
    std::optional<std::u16string> convert(std::string_view bytes) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        std::string in(bytes);
        // Every UTF-8 byte gives at most two bytes of UTF-16; iconv wants a buffer even for
        // empty input.
        std::vector<char> out(2 * bytes.size() + 2);
        char* in_next = in.data();
        std::size_t in_left = in.size();
        char* out_next = out.data();
        std::size_t out_left = out.size();
        if (iconv(handle_, &in_next, &in_left, &out_next, &out_left) ==
            static_cast<std::size_t>(-1)) {
            require(errno == EILSEQ || errno == EINVAL, "iconv failed other than on its input");
            return std::nullopt;
        }
        std::u16string units;
        for (const char* p = out.data(); p != out_next; p += 2) {
            units.push_back(static_cast<char16_t>(static_cast<unsigned char>(p[0]) |
                                                  static_cast<unsigned char>(p[1]) << 8));
        }
        return units;
    }

  private:
    static iconv_t invalid() { return reinterpret_cast<iconv_t>(-1); }

    iconv_t handle_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Utf8ToUtf16le glibc;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::optional<std::u16string> ours = renpin::utf8_to_utf16(bytes);
    const std::optional<std::u16string> theirs = glibc.convert(bytes);
    require(ours.has_value() || !theirs.has_value(), "rejects what iconv accepts");
    require(!ours.has_value() || theirs.has_value(), "accepts what iconv rejects");
    if (ours) {
        require(*ours == *theirs, "code units differ from iconv's");
        require(renpin::utf16_to_utf8(*ours) == bytes,
                "encoding the result does not give the bytes");
    }
    return 0;
}
