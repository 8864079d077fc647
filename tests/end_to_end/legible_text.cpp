// Checks, from outside, that the running program's Chinese text is drawn legibly: a font without
// Chinese draws every character as the same empty box. Reads the disclaimer, the notice of a query
// and then the output box off the screen, and finally ends the program. Exits 0 when all are
// legible, 1 otherwise, saying why.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <cstdio>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "message_boxes.h"
#include "window_reading.h"

namespace {

using renpin::window::ControlId;

// The pixels of a window's client area as the screen shows them.
struct Capture {
    int width = 0;
    int height = 0;
    std::vector<DWORD> pixels;
};

Capture capture(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
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

// The glyphs in the image: the ink (whatever is far from the commonest colour, so that the
// faint edges of smoothed glyphs do not join them) of each run of inked columns within each run
// of inked rows, that is within each line of text.
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
    const auto brightness = [](DWORD pixel) {
        return static_cast<int>((pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF));
    };
    const auto ink = [&](int x, int y) {
        return std::abs(brightness(image.pixels[y * image.width + x]) - brightness(paper)) > 3 * 96;
    };
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

// A static text is legible with at least `minimum` glyphs of which no one shape makes up half or
// more, as the boxes of a font without Chinese do.
bool text_legible(HWND text, std::size_t minimum, const char* what, bool report) {
    const std::vector<Shape> shapes = glyph_shapes(capture(text));
    std::size_t commonest = 0;
    for (const Shape& shape : shapes) {
        commonest =
            std::max<std::size_t>(commonest, std::count(shapes.begin(), shapes.end(), shape));
    }
    if (report) {
        std::fprintf(stderr, "legible_text: %s: %zu glyphs, at most %zu of one shape\n", what,
                     shapes.size(), commonest);
    }
    return shapes.size() >= minimum && commonest * 2 < shapes.size();
}

// In a bold font the boxes touch. The output box's Chinese characters are cut out where the edit
// control says each is drawn: more than half of the different characters must look different.
bool output_legible(HWND edit, bool report) {
    const std::wstring text = renpin::test::control_text(edit);
    const Capture image = capture(edit);
    const auto place = [&](std::size_t index) {
        const auto at = static_cast<DWORD>(SendMessageW(edit, EM_POSFROMCHAR, index, 0));
        return POINT{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    };
    int line_height = 0;
    for (std::size_t i = 1; i < text.size() && line_height == 0; ++i) {
        line_height = place(i).y - place(0).y;
    }
    std::map<wchar_t, std::vector<DWORD>> cells;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const POINT at = place(i);
        const POINT next = place(i + 1);
        if (text[i] < 0x4E00 || text[i] > 0x9FFF || next.y != at.y || next.x <= at.x ||
            at.y + line_height > image.height) {
            continue;
        }
        std::vector<DWORD>& cell = cells[text[i]];
        cell.clear();
        for (int y = at.y; y < at.y + line_height; ++y) {
            const auto row = image.pixels.begin() + y * image.width;
            cell.insert(cell.end(), row + at.x, row + next.x);
        }
    }
    std::set<std::vector<DWORD>> looks;
    for (const auto& [character, cell] : cells) {
        looks.insert(cell);
    }
    if (report) {
        std::fprintf(stderr, "legible_text: the output box: %zu different characters, %zu looks\n",
                     cells.size(), looks.size());
    }
    return cells.size() >= 8 && looks.size() * 2 > cells.size();
}

// Looks again for a few seconds, while the window may still be painting.
template <typename Check>
bool becomes_legible(Check check) {
    for (int attempt = 1; attempt < 10; ++attempt) {
        Sleep(500);
        if (check(false)) {
            break;
        }
    }
    return check(true);
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
    bool ok = becomes_legible([&](bool report) {
        return text_legible(form_control(form, ControlId::Label1), 8, "the disclaimer", report);
    });

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
        ok = becomes_legible([&](bool report) {
                 return text_legible(GetDlgItem(notice, 0xFFFF), 8, "the notice", report);
             }) &&
             ok;
        renpin::test::answer_message_box(notice, IDOK);
        renpin::test::wait_until_gone(notice, 5'000);
        // The output box's font is 宋体 with the GB2312 character set, not the window's.
        ok = becomes_legible([&](bool report) {
                 return output_legible(form_control(form, ControlId::Text2), report);
             }) &&
             ok;
    }

    const HANDLE program = OpenProcess(PROCESS_TERMINATE, FALSE, process);
    if (program == nullptr || !TerminateProcess(program, 1)) {
        std::fprintf(stderr, "legible_text: could not end the program\n");
        ok = false;
    }
    if (program != nullptr) {
        CloseHandle(program);
    }
    return ok ? 0 : 1;
}
