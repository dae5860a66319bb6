#include "form6.hpp"

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

#include "bitmap.hpp"
#include "layout.hpp"
#include "text.hpp"

namespace suirei::win32 {

namespace {

constexpr wchar_t kClassName[] = L"suirei.Form6";
constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr UINT_PTR kFrameTimer = 1;
// Control identifiers. The buttons stay clear of IDOK and IDCANCEL, which the
// dialog manager sends for Enter and Escape.
constexpr int kPictureId = 100;
constexpr int kTextId = 101;
constexpr int kFirstButtonId = 1001;

int scaled(int length, UINT dpi) { return MulDiv(length, static_cast<int>(dpi), USER_DEFAULT_SCREEN_DPI); }

// Both edges scaled, so that controls which meet at 96 DPI meet at any DPI.
RECT scaled(const layout::Rect& r, UINT dpi) {
    return {scaled(r.x, dpi), scaled(r.y, dpi), scaled(r.right(), dpi), scaled(r.bottom(), dpi)};
}

// The first of the layout's font families that is installed; none, and the
// system's font mapper picks a Japanese face by the character set.
std::wstring fontFamily() {
    const HDC dc = GetDC(nullptr);
    std::wstring found;
    for (std::string_view family : layout::kFontFamilies) {
        const std::wstring name = widen(family);
        LOGFONTW want{};
        want.lfCharSet = DEFAULT_CHARSET;
        name.copy(want.lfFaceName, LF_FACESIZE - 1);
        bool installed = false;
        EnumFontFamiliesExW(
            dc, &want,
            [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM seen) -> int {
                *reinterpret_cast<bool*>(seen) = true;
                return 0;
            },
            reinterpret_cast<LPARAM>(&installed), 0);
        if (installed) {
            found = name;
            break;
        }
    }
    ReleaseDC(nullptr, dc);
    return found;
}

// The page's font at `dpi`: kFontPixels to the em. A face whose lines are
// taller than kLineHeight at that size is made smaller until they are not, so
// that eleven lines always fit the page.
HFONT createFont(const std::wstring& family, UINT dpi) {
    LOGFONTW font{};
    font.lfHeight = -scaled(layout::kFontPixels, dpi);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfPitchAndFamily = DEFAULT_PITCH | FF_SWISS;
    family.copy(font.lfFaceName, LF_FACESIZE - 1);
    HFONT made = CreateFontIndirectW(&font);
    const HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, made);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    if (metrics.tmHeight > scaled(layout::kLineHeight, dpi)) {
        DeleteObject(made);
        font.lfHeight = scaled(layout::kLineHeight, dpi);  // the whole line, not the em
        made = CreateFontIndirectW(&font);
    }
    return made;
}

std::wstring windowText(HWND control) {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return text;
}

// Nanoseconds since 1970, the clock the benchmark's shell reads.
long long unixNanoseconds() {
    FILETIME now{};
    GetSystemTimePreciseAsFileTime(&now);
    const long long ticks = static_cast<long long>(now.dwHighDateTime) << 32 | now.dwLowDateTime;
    return (ticks - 116444736000000000LL) * 100;
}

}  // namespace

Form6::Form6(const Script& script) : game_(script) {
    const auto& bg = layout::kBackground;
    background_ = CreateSolidBrush(RGB(bg.red, bg.green, bg.blue));
}

Form6::~Form6() {
    if (window_) DestroyWindow(window_);
    if (font_) DeleteObject(font_);
    DeleteObject(background_);
}

bool Form6::open(HINSTANCE instance, int show) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof type;
    type.lpfnWndProc = windowProc;
    type.hInstance = instance;
    type.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
    type.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON,
                                                 GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0));
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.hbrBackground = background_;
    type.lpszClassName = kClassName;
    RegisterClassExW(&type);

    window_ = CreateWindowExW(0, kClassName, widen(layout::kTitle).c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    if (!window_) {
        fail("ウィンドウを作れません。\n(CreateWindowExW: " + systemMessage(GetLastError()) + ")");
        return false;
    }
    createControls(instance);
    place(GetDpiForWindow(window_));

    try {
        enterProgramFolder();
        game_.start();
        for (const std::string& file : game_.screen().takeLoads()) picture_ = readPicture(file);
        showScreen();
    } catch (const GameError& e) {
        fail(e.what());
        return false;
    }

    ShowWindow(window_, show);
    RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    // For the benchmark: when the window was first painted.
    if (GetEnvironmentVariableW(L"SUIREI_BENCH_TRACE", nullptr, 0) > 0) {
        GdiFlush();
        std::fprintf(stderr, "first-paint %lld\n", unixNanoseconds());
        std::fflush(stderr);
    }
    applyFocus(std::nullopt);
    return true;
}

int Form6::run() {
    MSG message{};
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (takeInput(message)) continue;
        if (window_ && IsDialogMessageW(window_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return got < 0 ? 1 : static_cast<int>(message.wParam);
}

void Form6::createControls(HINSTANCE instance) {
    const auto create = [&](const wchar_t* type, std::string_view text, DWORD style, int id) {
        return CreateWindowExW(0, type, widen(text).c_str(), WS_CHILD | style, 0, 0, 0, 0, window_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
    };
    // Created in tab order: the order of creation is the order Tab follows.
    for (const layout::Control& c : layout::kControls) {
        const DWORD shown = c.visibleAtCreation ? WS_VISIBLE : 0;
        switch (c.kind) {
        case layout::Kind::picture:
            // Drawn by the window (WM_DRAWITEM); its text is what a screen
            // reader calls it.
            P1_ = create(L"STATIC", c.accessibleName, shown | SS_OWNERDRAW, kPictureId);
            break;
        case layout::Kind::text:
            // A text box's text is its page, so a screen reader takes its name
            // from the label just before it, which takes no room.
            T1label_ = create(L"STATIC", c.accessibleName, WS_VISIBLE | SS_LEFT, 0);
            // No word wrap (ES_AUTOHSCROLL) and no scroll bars: the page's
            // eleven lines stand as the story breaks them.
            T1_ = create(L"EDIT", "", shown | WS_BORDER | ES_MULTILINE | ES_READONLY | ES_AUTOHSCROLL, kTextId);
            editProc_ = reinterpret_cast<WNDPROC>(
                SetWindowLongPtrW(T1_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Form6::pageProc)));
            break;
        case layout::Kind::button:
            button(*c.button) = create(L"BUTTON", c.caption, shown | WS_TABSTOP | BS_PUSHBUTTON,
                                       kFirstButtonId + index(*c.button));
            break;
        }
    }
}

void Form6::place(UINT dpi) {
    dpi_ = dpi;
    if (family_.empty()) family_ = fontFamily();
    const HFONT font = createFont(family_, dpi);
    const auto put = [&](HWND control, const RECT& r) {
        SetWindowPos(control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    };
    for (const layout::Control& c : layout::kControls) {
        const RECT r = scaled(c.rect, dpi);
        switch (c.kind) {
        case layout::Kind::picture: put(P1_, r); break;
        case layout::Kind::text: put(T1label_, {r.left, r.top, r.left, r.top}); put(T1_, r); break;
        case layout::Kind::button: put(button(*c.button), r); break;
        }
    }
    // The page inside its margin; the text box forgets this whenever its font
    // or size changes, so it comes last.
    SendMessageW(T1_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    RECT page{};
    GetClientRect(T1_, &page);
    const int margin = scaled(layout::kPageMargin, dpi);
    InflateRect(&page, -margin, -margin);
    SendMessageW(T1_, EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&page));

    if (font_) DeleteObject(font_);
    font_ = font;
    RECT outer{0, 0, scaled(layout::kClientWidth, dpi), scaled(layout::kClientHeight, dpi)};
    AdjustWindowRectExForDpi(&outer, kStyle, FALSE, 0, dpi);
    SetWindowPos(window_, nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window_, nullptr, TRUE);
}

void Form6::enterProgramFolder() {
    // The folder of the program file, whatever its name and wherever the
    // game was started from; its path is at most 32,767 characters long.
    std::wstring path(32768, L'\0');
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0)
        throw GameError(std::string(bitmap::kFolderUnknown) + "\n(GetModuleFileNameW: " +
                        systemMessage(GetLastError()) + ")");
    path.resize(n);
    std::wstring folder = path.substr(0, path.find_last_of(L"\\/"));
    if (folder.size() == 2 && folder[1] == L':') folder += L'\\';  // the root of a drive
    // A full path makes its drive the current drive too.
    if (!SetCurrentDirectoryW(folder.c_str()))
        throw GameError(std::string(bitmap::kFolderUnreachable) + "\n(" + narrow(folder) + ": " +
                        systemMessage(GetLastError()) + ")");
    setPictureFolder(folder);
}

void Form6::click(Button b) {
    // A click while the strike plays (a program clicking: the player's own
    // input is dropped before it gets here), or of a hidden button, is
    // dropped.
    if (failed_ || playing_ || game_.refusal(b)) return;
    const std::optional<Button> focused = buttonOf(GetFocus());
    try {
        game_.click(b);
        if (game_.ended()) {
            DestroyWindow(window_);
            return;
        }
        // Every picture the click loaded is read afresh, in order, so that a
        // missing one fails the click that needs it; the strike's frames take
        // theirs, and the last other one is what the click leaves.
        std::vector<HeldFrame> frames = game_.screen().takeFrames();
        std::size_t next = 0;
        for (const std::string& file : game_.screen().takeLoads()) {
            Picture picture = readPicture(file);
            if (next < frames.size() && frames[next].picture == file) {
                frames_.push_back({std::move(frames[next++]), std::move(picture)});
                after_ = Picture();
            } else {
                after_ = std::move(picture);
            }
        }
        // The strike's frames, if the click queued any, then what it left.
        strikeFocus_ = focused;
        playing_ = !frames_.empty();
        playNextFrame();
    } catch (const GameError& e) {
        fail(e.what());
    }
}

void Form6::show(const std::array<bool, kButtonCount>& visible, std::string_view text) {
    for (Button b : kAllButtons) {
        const bool wanted = visible[static_cast<std::size_t>(index(b))];
        if ((IsWindowVisible(button(b)) != FALSE) != wanted) ShowWindow(button(b), wanted ? SW_SHOWNA : SW_HIDE);
    }
    // The story's line breaks are CR LF, as the text box wants them.
    const std::wstring page = widen(text);
    if (windowText(T1_) != page) SetWindowTextW(T1_, page.c_str());
}

void Form6::showScreen() {
    const MemoryScreen& screen = game_.screen();
    show(screen.visibility(), screen.text());
}

void Form6::playNextFrame() {
    KillTimer(window_, kFrameTimer);
    if (frames_.empty()) {
        // What the click left (after the strike: iru.bmp, the empty page,
        // Talk).
        if (after_) {
            picture_ = std::move(after_);
            InvalidateRect(P1_, nullptr, FALSE);
        }
        showScreen();
        playing_ = false;
        applyFocus(strikeFocus_);
        return;
    }
    Frame frame = std::move(frames_.front());
    frames_.pop_front();
    picture_ = std::move(frame.picture);
    InvalidateRect(P1_, nullptr, FALSE);
    show(frame.held.visible, frame.held.text);
    // The frame and the battle cry reach the screen now, not whenever the
    // message loop would have painted them.
    RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SetTimer(window_, kFrameTimer, static_cast<UINT>(frame.held.hold.count()), nullptr);
}

void Form6::applyFocus(std::optional<Button> focused) {
    if (game_.ended() || failed_) return;
    const bool shown = focused && IsWindowVisible(button(*focused));
    const FocusDecision d = game_.focus(shown ? focused : std::nullopt);
    switch (d.kind) {
    case FocusDecision::Kind::stay:
        if (shown && GetFocus() != button(*focused)) SetFocus(button(*focused));
        break;
    case FocusDecision::Kind::move: SetFocus(button(d.to)); break;
    case FocusDecision::Kind::none:
        if (focused && !shown) SetFocus(window_);
        break;
    }
}

std::optional<Button> Form6::buttonOf(HWND control) const {
    for (Button b : kAllButtons)
        if (control && button(b) == control) return b;
    return std::nullopt;
}

bool Form6::takeInput(const MSG& message) {
    if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) return false;
    const UINT m = message.message;
    const bool key = m >= WM_KEYFIRST && m <= WM_KEYLAST;
    const bool mouse = m >= WM_MOUSEFIRST && m <= WM_MOUSELAST;
    // While the strike plays the player's clicks and keys are dropped; the
    // frame, the close box and Alt+F4 still work.
    if (playing_) return mouse || (key && !(m == WM_SYSKEYDOWN && message.wParam == VK_F4));
    // Enter presses the focused button, as Space does, once however long it
    // is held.
    if (m == WM_KEYDOWN && message.wParam == VK_RETURN)
        if (const auto b = buttonOf(message.hwnd)) {
            if (!(message.lParam & (1 << 30))) click(*b);
            return true;
        }
    return false;
}

void Form6::fail(const std::string& message) {
    failed_ = true;
    playing_ = false;
    frames_.clear();
    if (window_) KillTimer(window_, kFrameTimer);
    std::fprintf(stderr, "suirei: %s\n", message.c_str());
    std::fflush(stderr);
    const HWND owner = window_ && IsWindowVisible(window_) ? window_ : nullptr;
    MessageBoxW(owner, widen(message).c_str(), widen(layout::kShortTitle).c_str(), MB_OK | MB_ICONERROR);
    if (window_) DestroyWindow(window_);
}

LRESULT CALLBACK Form6::windowProc(HWND window, UINT message, WPARAM w, LPARAM l) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form6*>(reinterpret_cast<CREATESTRUCTW*>(l)->lpCreateParams);
        form->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form6*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!form) return DefWindowProcW(window, message, w, l);
    return form->handle(message, w, l);
}

LRESULT CALLBACK Form6::pageProc(HWND page, UINT message, WPARAM w, LPARAM l) {
    auto* form = reinterpret_cast<Form6*>(GetWindowLongPtrW(GetParent(page), GWLP_USERDATA));
    const LRESULT result = CallWindowProcW(form->editProc_, page, message, w, l);
    // A multi-line text box asks for every key, Tab included; this one is
    // only read, so Tab and Enter go on to the window's buttons.
    if (message == WM_GETDLGCODE) return result & ~(DLGC_WANTALLKEYS | DLGC_WANTTAB);
    return result;
}

LRESULT Form6::handle(UINT message, WPARAM w, LPARAM l) {
    switch (message) {
    case WM_COMMAND:
        if (HIWORD(w) == BN_CLICKED && LOWORD(w) >= kFirstButtonId && LOWORD(w) < kFirstButtonId + kButtonCount)
            click(button_at(LOWORD(w) - kFirstButtonId));
        return 0;
    case WM_DRAWITEM: {
        // The picture box: a single line in the window-text colour, the
        // window colour inside it, the picture from its top-left corner.
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(l);
        if (item->CtlID != kPictureId) break;
        const int line = std::max(1, static_cast<int>(dpi_ / USER_DEFAULT_SCREEN_DPI));
        RECT inside = item->rcItem;
        InflateRect(&inside, -line, -line);
        FillRect(item->hDC, &item->rcItem, GetSysColorBrush(COLOR_WINDOWTEXT));
        FillRect(item->hDC, &inside, GetSysColorBrush(COLOR_WINDOW));
        picture_.draw(item->hDC, inside, dpi_);
        return TRUE;
    }
    case WM_CTLCOLORSTATIC:
        // The page is read only, yet drawn as a page, not greyed.
        if (reinterpret_cast<HWND>(l) == T1_) {
            const HDC dc = reinterpret_cast<HDC>(w);
            SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
            SetBkColor(dc, GetSysColor(COLOR_WINDOW));
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
        }
        break;
    case WM_CTLCOLORBTN: return reinterpret_cast<LRESULT>(background_);
    case WM_TIMER:
        if (w == kFrameTimer) playNextFrame();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(w) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            lastFocus_ = IsChild(window_, focus) ? focus : nullptr;
        }
        break;
    case WM_SETFOCUS:
        // The window itself got the keyboard (it was activated, or a hidden
        // button lost it): back to where the player left it, or where the
        // story goes on.
        if (playing_) return 0;
        if (const HWND last = std::exchange(lastFocus_, nullptr); last && IsWindowVisible(last)) SetFocus(last);
        else applyFocus(std::nullopt);
        return 0;
    case WM_DPICHANGED: {
        place(HIWORD(w));
        const RECT* suggested = reinterpret_cast<const RECT*>(l);
        SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return 0;
    }
    case WM_DESTROY:
        KillTimer(window_, kFrameTimer);
        PostQuitMessage(failed_ ? 1 : 0);
        return 0;
    case WM_NCDESTROY: {
        const HWND window = std::exchange(window_, nullptr);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        return DefWindowProcW(window, message, w, l);
    }
    default: break;
    }
    return DefWindowProcW(window_, message, w, l);
}

}  // namespace suirei::win32
