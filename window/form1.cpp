#include "window/form1.h"

#include <commctrl.h>

#include "platform/dpi.h"
#include "platform/executable_directory.h"
#include "platform/notice_box.h"
#include "platform/process_start.h"
#include "platform/wide_text.h"
#include "platform/window_style.h"
#include "window/focus_reports.h"
#include "window/form_class.h"
#include "window/text_box_names.h"

namespace renpin::window {
namespace {

constexpr wchar_t window_class_name[] = L"RenpinForm1";
constexpr wchar_t window_caption[] = L"Ｍq.人品计算器";
constexpr DWORD window_style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

constexpr ControlId push_buttons[] = {ControlId::Command1, ControlId::Command2, ControlId::Command3,
                                      ControlId::Command4};

int control_number(ControlId id) {
    return static_cast<int>(id);
}

bool is_push_button(HWND control) {
    return (SendMessageW(control, WM_GETDLGCODE, 0, 0) &
            (DLGC_UNDEFPUSHBUTTON | DLGC_DEFPUSHBUTTON)) != 0;
}

// BS_PUSHBUTTON or BS_DEFPUSHBUTTON, redrawn only where it changes.
void set_push_button_style(HWND button, DWORD style) {
    if ((static_cast<DWORD>(GetWindowLongW(button, GWL_STYLE)) & BS_TYPEMASK) != style) {
        SendMessageW(button, BM_SETSTYLE, style, TRUE);
    }
}

platform::UniqueFont create_font(LOGFONTW font) {
    return platform::UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace

std::unique_ptr<Form1> Form1::create(HINSTANCE instance) {
    static const ATOM window_class =
        register_form_class(instance, &Form1::window_procedure, window_class_name);
    if (window_class == 0) {
        return nullptr;
    }
    std::unique_ptr<Form1> form(new Form1());
    // The window procedure takes ownership of the handle at WM_NCCREATE.
    CreateWindowExW(0, window_class_name, window_caption, window_style, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                    form.get());
    if (!form->window_) {
        return nullptr;
    }
    return form;
}

Form1::~Form1() = default;

LRESULT CALLBACK Form1::window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        form->window_.reset(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefWindowProcW(window, message, wparam, lparam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->window_.release();
        return DefWindowProcW(window, message, wparam, lparam);
    }
    return form->handle_message(message, wparam, lparam);
}

LRESULT Form1::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND window = handle();
    switch (message) {
        case WM_CREATE:
            on_create();
            return 0;
        case WM_COMMAND:
            if (HIWORD(wparam) == BN_CLICKED) {
                on_command(LOWORD(wparam));
            }
            return 0;
        case control_focused_message:
            on_control_focused();
            return 0;
        case WM_ACTIVATE:
            on_activate(LOWORD(wparam) != WA_INACTIVE);
            return 0;
        case WM_SETFOCUS:
            focus_control(saved_focus_ != nullptr ? saved_focus_ : control(ControlId::Command1));
            return 0;
        case WM_NEXTDLGCTL:
            on_next_control(wparam, lparam);
            return 0;
        case DM_GETDEFID:
            // The window's default button, whichever control has the focus: the dialog manager
            // gives Enter to a focused push button by its own style, not by this answer.
            return MAKELRESULT(control_number(ControlId::Command1), DC_HASDEFID);
        case WM_DPICHANGED:
            on_dpi_changed(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
            return 0;
        case WM_CLOSE:
            on_close();
            return 0;
        case WM_QUERYENDSESSION:
            return on_query_end_session();
        case WM_ENDSESSION:
            if (wparam != FALSE && ending_session_) {
                DestroyWindow(window);
            }
            ending_session_ = false;
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wparam, lparam);
    }
}

void Form1::on_create() {
    dpi_ = platform::window_dpi(handle());
    create_fonts();
    create_controls();
    lay_out();
    Form_Load();
}

void Form1::Form_Load() {
    // The skin file sits beside the executable; the library takes ANSI paths.
    skin_ = platform::SkinLibrary::attach(platform::executable_directory() + L"/skinh.she");
    platform::remove_sizing_border(handle());
    fit_window_to_client(nullptr);
}

void Form1::show(int show_command) {
    RECT window_rect{};
    GetWindowRect(handle(), &window_rect);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int width = window_rect.right - window_rect.left;
    const int height = window_rect.bottom - window_rect.top;
    SetWindowPos(handle(), nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    saved_focus_ = control(ControlId::Command1);
    ShowWindow(handle(), show_command);
    UpdateWindow(handle());
    focus_control(saved_focus_);
}

HWND Form1::control(ControlId id) const {
    return GetDlgItem(handle(), control_number(id));
}

void Form1::create_fonts() {
    window_font_ = create_font(control_font(ControlFont::window, dpi_));
    name_font_ = create_font(control_font(ControlFont::name_box, dpi_));
    output_font_ = create_font(control_font(ControlFont::output_box, dpi_));
}

void Form1::create_controls() {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(handle(), GWLP_HINSTANCE));
    for (const ControlEntry& entry : form1_controls) {
        CreateWindowExW(0, entry.window_class, entry.caption, entry.style, 0, 0, 0, 0, handle(),
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_number(entry.id))),
                        instance, nullptr);
    }
    // Frames go to the bottom of the z-order so they never paint over the controls inside
    // them; they take no focus, so the tab order of the other controls is unchanged.
    for (const ControlId frame : {ControlId::Frame1, ControlId::Frame2, ControlId::Frame3}) {
        SetWindowPos(control(frame), HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // Names and reports of any length: an edit box otherwise stops at 30,000 characters.
    SendMessageW(control(ControlId::Text1), EM_SETLIMITTEXT, 0, 0);
    SendMessageW(control(ControlId::Text2), EM_SETLIMITTEXT, 0, 0);
    const HWND status_bar = control(ControlId::StatusBar1);
    int part_edges[] = {-1};
    SendMessageW(status_bar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(part_edges));
    SendMessageW(status_bar, SB_SETTEXTW, 0,
                 reinterpret_cast<LPARAM>(control_entry(ControlId::StatusBar1).caption));
    name_text_boxes(handle(), accessibility_);
    report_control_focus(handle());
}

void Form1::lay_out() {
    for (const ControlEntry& entry : form1_controls) {
        const HWND child = control(entry.id);
        const HFONT font = entry.font == ControlFont::name_box     ? name_font_.get()
                           : entry.font == ControlFont::output_box ? output_font_.get()
                                                                   : window_font_.get();
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        RECT rect = control_rect(entry, dpi_);
        if (entry.id == ControlId::Label1) {
            // The disclaimer is as large as its text in its font.
            const HDC context = GetDC(child);
            const HGDIOBJ previous = SelectObject(context, font);
            SIZE text{};
            GetTextExtentPoint32W(context, entry.caption, lstrlenW(entry.caption), &text);
            SelectObject(context, previous);
            ReleaseDC(child, context);
            rect.right = rect.left + text.cx;
            rect.bottom = rect.top + text.cy;
        }
        MoveWindow(child, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   TRUE);
    }
}

void Form1::fit_window_to_client(const POINT* top_left) {
    const RECT client{0, 0, twips_to_pixels(form_client_width_twips, dpi_),
                      twips_to_pixels(form_client_height_twips, dpi_)};
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(handle(), GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(handle(), GWL_EXSTYLE));
    const RECT outer = platform::window_rect_for_client(client, style, ex_style, dpi_);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
    if (top_left == nullptr) {
        flags |= SWP_NOMOVE;
    }
    SetWindowPos(handle(), nullptr, top_left ? top_left->x : 0, top_left ? top_left->y : 0,
                 outer.right - outer.left, outer.bottom - outer.top, flags);

    // A frame that differs from the system's metrics (a skin, a frame not yet at the new DPI)
    // leaves the client area off by its difference; one correction makes it exact.
    RECT actual{};
    GetClientRect(handle(), &actual);
    const int missing_width = client.right - actual.right;
    const int missing_height = client.bottom - actual.bottom;
    if (missing_width != 0 || missing_height != 0) {
        RECT window{};
        GetWindowRect(handle(), &window);
        SetWindowPos(handle(), nullptr, 0, 0, window.right - window.left + missing_width,
                     window.bottom - window.top + missing_height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
}

void Form1::on_dpi_changed(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    // The controls let go of the old fonts in lay_out(); they are deleted only after that.
    const platform::UniqueFont old_fonts[] = {std::move(window_font_), std::move(name_font_),
                                              std::move(output_font_)};
    create_fonts();
    lay_out();
    const POINT top_left{suggested.left, suggested.top};
    fit_window_to_client(&top_left);
    InvalidateRect(handle(), nullptr, TRUE);
}

void Form1::on_command(int id) {
    // A button clicked by another program while a notice is open waits, as the user must.
    if (notice_open_) {
        return;
    }
    switch (static_cast<ControlId>(id)) {
        case ControlId::Command1:
            Command1_Click();
            break;
        case ControlId::Command2:
            Command2_Click();
            break;
        case ControlId::Command3:
            Command3_Click();
            break;
        case ControlId::Command4:
            Command4_Click();
            break;
        default:
            break;
    }
}

// A plain window gets from IsDialogMessage only what a dialog's own procedure would answer;
// these three and DM_GETDEFID keep Enter, Tab, the default button and the focus working as
// they do in a dialog.
void Form1::on_activate(bool active) {
    if (active) {
        focus_control(saved_focus_ != nullptr ? saved_focus_ : control(ControlId::Command1));
        return;
    }
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(handle(), focus)) {
        saved_focus_ = focus;
    }
}

void Form1::on_next_control(WPARAM wparam, LPARAM lparam) {
    HWND target = nullptr;
    if (LOWORD(lparam) != 0) {
        target = reinterpret_cast<HWND>(wparam);
    } else {
        target = GetNextDlgTabItem(handle(), GetFocus(), wparam != 0);
    }
    if (target != nullptr) {
        focus_control(target);
        if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
            SendMessageW(target, EM_SETSEL, 0, -1);
        }
    }
}

// As in a dialog, the focused push button shows the default border and takes Enter; with the
// focus anywhere else, the query button does.
void Form1::on_control_focused() {
    const HWND focus = GetFocus();
    HWND default_button = control(ControlId::Command1);
    if (focus != nullptr && GetParent(focus) == handle() && is_push_button(focus)) {
        default_button = focus;
    }
    // The old border goes first, so two buttons never show it at once.
    for (const ControlId id : push_buttons) {
        if (control(id) != default_button) {
            set_push_button_style(control(id), BS_PUSHBUTTON);
        }
    }
    set_push_button_style(default_button, BS_DEFPUSHBUTTON);
}

void Form1::focus_control(HWND control) {
    if (control == nullptr) {
        return;
    }
    saved_focus_ = control;
    SetFocus(control);
}

void Form1::on_close() {
    // A second request while a notice is open asks nothing more: the open notice has the answer.
    if (notice_open_) {
        return;
    }
    if (Form_QueryUnload()) {
        DestroyWindow(handle());
    }
}

BOOL Form1::on_query_end_session() {
    // The system waits for the answer and shows the reason beside the program's name meanwhile.
    if (!shutdown_block_) {
        shutdown_block_.emplace(handle(), L"人品计算器正在等待您回答它的提示框。");
    }
    if (notice_open_) {
        // Log-off or shut-down arrived inside an open notice's modal loop: the user answers that
        // notice first, and the session waits.
        ending_session_ = false;
        return FALSE;
    }
    ending_session_ = Form_QueryUnload();
    return ending_session_ ? TRUE : FALSE;
}

bool Form1::Form_QueryUnload() {
    const NoticeResult answer = show_notice(u"您确定退出本程序吗?", u"k-Vem阿朴提示",
                                            NoticeIcon::information, NoticeButtons::yes_no);
    return answer == NoticeResult::yes;
}

void Form1::Command1_Click() {
    run_query(*this);
}

void Form1::Command2_Click() {
    set_name_text(u"");
    set_output_text(u"");
}

void Form1::Command3_Click() {
    const bool opened =
        page_opener_ ? page_opener_(maker_page) : platform::start_explorer(maker_page);
    if (!opened) {
        show_notice(u"无法打开阿朴博客，请在浏览器中访问：\r\n" + platform::to_u16(maker_page),
                    u"k-Vem阿朴提示", NoticeIcon::error, NoticeButtons::ok);
    }
}

void Form1::Command4_Click() {
    SendMessageW(handle(), WM_CLOSE, 0, 0);
}

std::u16string Form1::name_text() const {
    return platform::to_u16(platform::window_text(control(ControlId::Text1)));
}

void Form1::set_name_text(std::u16string_view text) {
    SetWindowTextW(control(ControlId::Text1), platform::to_wide(text).c_str());
}

std::u16string Form1::output_text() const {
    return platform::to_u16(platform::window_text(control(ControlId::Text2)));
}

void Form1::set_output_text(std::u16string_view text) {
    SetWindowTextW(control(ControlId::Text2), platform::to_wide(text).c_str());
}

NoticeResult Form1::show_notice(std::u16string_view text, std::u16string_view title,
                                NoticeIcon icon, NoticeButtons buttons) {
    notice_open_ = true;
    const NoticeResult answer =
        notice_box_ ? notice_box_(text, title, icon, buttons)
                    : platform::show_notice_box(handle(), text, title, icon, buttons);
    notice_open_ = false;
    shutdown_block_.reset();
    return answer;
}

}  // namespace renpin::window
