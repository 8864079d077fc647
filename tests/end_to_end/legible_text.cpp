// Reads the running program's Chinese text off the screen, from outside: the disclaimer, the notice
// of a query and then the output box, and finally closes the program as its user does, with Yes:
//   legible_text.exe [FOLDER]
// Each is saved in FOLDER, when given, as bitmaps two, three and four times the size on screen
// (disclaimer-3.bmp, notice-3.bmp, output-3.bmp and so on) for an OCR to read. Exits 0 when every
// text is at least made of different glyphs (a font without Chinese draws every character as the
// same empty box), 1 otherwise, saying why.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <map>
#include <memory>
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

// The colour of the paper the text is drawn on: the commonest. The capture must not be empty.
DWORD commonest_colour(const Capture& image) {
    std::map<DWORD, int> counts;
    for (const DWORD pixel : image.pixels) {
        ++counts[pixel];
    }
    return std::max_element(counts.begin(), counts.end(),
                            [](auto& a, auto& b) { return a.second < b.second; })
        ->first;
}

// The capture, enlarged `scale` times with bilinear filtering and framed by a margin of the
// commonest colour, as a 24-bit bitmap file: OCR reads small screen text far better so.
bool save_enlarged(const Capture& image, const std::wstring& path, int scale) {
    if (image.pixels.empty()) {
        return false;
    }
    const DWORD paper = commonest_colour(image);
    const int margin = 8 * scale;
    const int width = image.width * scale + 2 * margin;
    const int height = image.height * scale + 2 * margin;
    const int stride = (width * 3 + 3) & ~3;
    std::vector<unsigned char> rows(static_cast<std::size_t>(stride) * height);
    const auto channel = [&](int x, int y, int shift) {
        x = std::clamp(x, 0, image.width - 1);
        y = std::clamp(y, 0, image.height - 1);
        return static_cast<double>((image.pixels[y * image.width + x] >> shift) & 0xFF);
    };
    for (int y = 0; y < height; ++y) {
        // Bottom-up, as bitmap files keep their rows.
        unsigned char* row = rows.data() + static_cast<std::size_t>(height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            const double source_x = (x - margin + 0.5) / scale - 0.5;
            const double source_y = (y - margin + 0.5) / scale - 0.5;
            const bool inside =
                x >= margin && y >= margin && x < width - margin && y < height - margin;
            const int left = static_cast<int>(std::floor(source_x));
            const int top = static_cast<int>(std::floor(source_y));
            const double across = source_x - left;
            const double down = source_y - top;
            for (int shift = 0; shift < 24; shift += 8) {
                const double value = inside ? (channel(left, top, shift) * (1 - across) +
                                               channel(left + 1, top, shift) * across) *
                                                      (1 - down) +
                                                  (channel(left, top + 1, shift) * (1 - across) +
                                                   channel(left + 1, top + 1, shift) * across) *
                                                      down
                                            : static_cast<double>((paper >> shift) & 0xFF);
                row[x * 3 + shift / 8] = static_cast<unsigned char>(std::lround(value));
            }
        }
    }
    BITMAPINFOHEADER info{};
    info.biSize = sizeof(info);
    info.biWidth = width;
    info.biHeight = height;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(rows.size());
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + info.biSizeImage;
    const std::unique_ptr<FILE, decltype(&std::fclose)> out(_wfopen(path.c_str(), L"wb"),
                                                            &std::fclose);
    return out != nullptr && std::fwrite(&file, sizeof(file), 1, out.get()) == 1 &&
           std::fwrite(&info, sizeof(info), 1, out.get()) == 1 &&
           std::fwrite(rows.data(), rows.size(), 1, out.get()) == 1;
}

// A glyph's width and its inked pixels, column by column.
using Shape = std::pair<int, std::vector<bool>>;

// The glyphs in the image: the ink (whatever is far from the commonest colour, so that the
// faint edges of smoothed glyphs do not join them) of each run of inked columns within each run
// of inked rows, that is within each line of text.
std::vector<Shape> glyph_shapes(const Capture& image) {
    if (image.pixels.empty()) {
        return {};
    }
    const DWORD paper = commonest_colour(image);
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

// Names the executable of the program's process, for the caller to tell which build runs.
void print_program_path(DWORD process) {
    const HANDLE program = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    if (program != nullptr && QueryFullProcessImageNameW(program, 0, path, &size)) {
        std::printf("legible_text: the program is %ls\n", path);
    } else {
        std::fprintf(stderr, "legible_text: could not tell the program's executable\n");
    }
    if (program != nullptr) {
        CloseHandle(program);
    }
}

// Asks the program to close and answers its confirmation with Yes; ends the process where that
// does not end it, so that nothing is left running.
bool close_program(HWND form, DWORD process) {
    const HANDLE program = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, process);
    if (program == nullptr) {
        return false;
    }
    PostMessageW(form, WM_CLOSE, 0, 0);
    const HWND confirmation =
        renpin::test::wait_for_visible_window(process, renpin::test::message_box_class, 20'000, 50);
    if (confirmation != nullptr) {
        renpin::test::answer_message_box(confirmation, IDYES);
    }
    const bool closed =
        confirmation != nullptr && WaitForSingleObject(program, 20'000) == WAIT_OBJECT_0;
    if (!closed) {
        TerminateProcess(program, 1);
    }
    CloseHandle(program);
    return closed;
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

int wmain(int argc, wchar_t** argv) {
    using renpin::test::form_control;
    const std::wstring folder = argc > 1 ? argv[1] : L"";
    bool saved = true;
    // OCR misreads a character or two of small text at one scale and not at another, so each
    // text is saved at three: NAME-2.bmp, NAME-3.bmp and NAME-4.bmp.
    const auto save = [&](HWND window, const std::wstring& name) {
        if (folder.empty()) {
            return;
        }
        const Capture image = capture(window);
        for (const int scale : {2, 3, 4}) {
            const std::wstring file = name + L"-" + std::to_wstring(scale) + L".bmp";
            if (!save_enlarged(image, folder + L"\\" + file, scale)) {
                std::fprintf(stderr, "legible_text: could not save %ls\n", file.c_str());
                saved = false;
            }
        }
    };
    // A new Wine prefix is made before the program starts.
    const HWND form = renpin::test::wait_for_visible_window(0, L"RenpinForm1", 240'000, 100);
    if (form == nullptr) {
        std::fprintf(stderr, "legible_text: the program's window did not show\n");
        return 1;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(form, &process);
    print_program_path(process);
    const HWND disclaimer = form_control(form, ControlId::Label1);
    bool ok = becomes_legible(
        [&](bool report) { return text_legible(disclaimer, 8, "the disclaimer", report); });
    save(disclaimer, L"disclaimer");

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
        const HWND notice_text = GetDlgItem(notice, 0xFFFF);
        ok = becomes_legible(
                 [&](bool report) { return text_legible(notice_text, 8, "the notice", report); }) &&
             ok;
        save(notice_text, L"notice");
        renpin::test::answer_message_box(notice, IDOK);
        renpin::test::wait_until_gone(notice, 5'000);
        // The output box's font is 宋体 with the GB2312 character set, not the window's.
        const HWND output = form_control(form, ControlId::Text2);
        ok = becomes_legible([&](bool report) { return output_legible(output, report); }) && ok;
        save(output, L"output");
    }

    // Closed as its user closes it, so that the program's own exit status comes back through Wine.
    if (!close_program(form, process)) {
        std::fprintf(stderr, "legible_text: the program did not close on Yes\n");
        ok = false;
    }
    return ok && saved ? 0 : 1;
}
