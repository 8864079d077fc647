// Checks, from outside, that the running program's Chinese text is drawn legibly: a font without
// Chinese draws every character as the same empty box. Reads the disclaimer and then the notice of
// a query off the screen, and finally ends the program with exit code 7, which whoever started it
// should see. Exits 0 when both are legible, 1 otherwise, saying why.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <utility>
#include <vector>

#include "message_boxes.h"
#include "window_reading.h"

namespace {

using renpin::window::ControlId;

// The pixels of a window as the screen shows them.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
};

Capture capture(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    Capture image{rect.right - rect.left, rect.bottom - rect.top, {}};
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = image.width;
    info.bmiHeader.biHeight = -image.height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    const HDC screen = GetDC(nullptr);
    const HDC memory = CreateCompatibleDC(screen);
    const HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        const HGDIOBJ previous = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, image.width, image.height, screen, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        const auto* first = static_cast<const DWORD*>(bits);
        image.pixels.assign(first, first + image.width * image.height);
        SelectObject(memory, previous);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return image;
}

// A glyph's width and its inked pixels, column by column.
using Shape = std::pair<int, std::vector<bool>>;

// The glyphs in the image: the ink (whatever is not the commonest colour) of each run of inked
// columns within each run of inked rows, that is within each line of text.
std::vector<Shape> glyph_shapes(const Capture& image) {
    std::map<DWORD, int> counts;
    for (const DWORD pixel : image.pixels) {
        ++counts[pixel];
    }
    if (counts.empty()) {
        return {};
    }
    const DWORD paper = std::max_element(counts.begin(), counts.end(), [](auto& a, auto& b) {
                            return a.second < b.second;
                        })->first;
    const auto ink = [&](int x, int y) { return image.pixels[y * image.width + x] != paper; };
    const auto row_inked = [&](int y) {
        for (int x = 0; x < image.width; ++x) {
            if (ink(x, y)) {
                return true;
            }
        }
        return false;
    };
    std::vector<Shape> shapes;
    for (int top = 0; top < image.height; ++top) {
        if (!row_inked(top)) {
            continue;
        }
        int bottom = top;
        while (bottom < image.height && row_inked(bottom)) {
            ++bottom;
        }
        const auto column_inked = [&](int x) {
            for (int y = top; y < bottom; ++y) {
                if (ink(x, y)) {
                    return true;
                }
            }
            return false;
        };
        for (int left = 0; left < image.width; ++left) {
            if (!column_inked(left)) {
                continue;
            }
            std::vector<bool> shape;
            int right = left;
            for (; right < image.width && column_inked(right); ++right) {
                for (int y = top; y < bottom; ++y) {
                    shape.push_back(ink(right, y));
                }
            }
            shapes.emplace_back(right - left, std::move(shape));
            left = right;
        }
        top = bottom;
    }
    return shapes;
}

// Legible: at least `minimum` glyphs, and no one shape makes up half of them or more, as the
// boxes of a font without Chinese do. Says what it saw when `what` names the text.
bool legible(HWND window, std::size_t minimum, const char* what) {
    const std::vector<Shape> shapes = glyph_shapes(capture(window));
    std::size_t commonest = 0;
    for (const Shape& shape : shapes) {
        commonest =
            std::max<std::size_t>(commonest, std::count(shapes.begin(), shapes.end(), shape));
    }
    if (what != nullptr) {
        std::fprintf(stderr, "legible_text: %s: %zu glyphs, at most %zu of one shape\n", what,
                     shapes.size(), commonest);
    }
    return shapes.size() >= minimum && commonest * 2 < shapes.size();
}

// Looks again for a few seconds, while the window may still be painting.
bool becomes_legible(HWND window, std::size_t minimum, const char* what) {
    for (int attempt = 1; attempt < 10; ++attempt) {
        Sleep(500);
        if (legible(window, minimum, nullptr)) {
            break;
        }
    }
    return legible(window, minimum, what);
}

}  // namespace

int wmain() {
    using renpin::test::form_control;
    // A new Wine prefix is made before the program starts.
    const HWND form = renpin::test::wait_for_visible_window(0, L"RenpinForm1", 240'000, 100);
    if (form == nullptr) {
        std::fprintf(stderr, "legible_text: the program's window did not show\n");
        return 1;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(form, &process);
    bool ok = becomes_legible(form_control(form, ControlId::Label1), 8, "the disclaimer");

    wchar_t name[] = L"张三";
    SendMessageW(form_control(form, ControlId::Text1), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(name));
    PostMessageW(form_control(form, ControlId::Command1), BM_CLICK, 0, 0);
    const HWND notice =
        renpin::test::wait_for_visible_window(process, renpin::test::message_box_class, 20'000, 50);
    if (notice == nullptr) {
        std::fprintf(stderr, "legible_text: the notice did not show\n");
        ok = false;
    } else {
        // The notice's text is its static control with the id 0xFFFF.
        ok = becomes_legible(GetDlgItem(notice, 0xFFFF), 8, "the notice") && ok;
    }

    const HANDLE program = OpenProcess(PROCESS_TERMINATE, FALSE, process);
    if (program == nullptr || !TerminateProcess(program, 7)) {
        std::fprintf(stderr, "legible_text: could not end the program\n");
        ok = false;
    }
    if (program != nullptr) {
        CloseHandle(program);
    }
    return ok ? 0 : 1;
}
