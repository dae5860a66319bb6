// suirei-probe: the Windows window tests' hands and eyes. It finds the game's
// window from outside, as Windows automation tools do, reads its controls
// (text, visibility, rectangle, focus) with the ordinary window functions,
// clicks with BM_CLICK and types with SendInput. Nothing in the game knows it
// is there.
//
//   suirei-probe dump             the window and its controls, one a line
//   suirei-probe play FILE        steps of "action<TAB>state<TAB>focus": does
//                                 each action (CommandN: BM_CLICK and wait
//                                 for it; post:CommandN: BM_CLICK posted;
//                                 mouse:NAME: the mouse on a control;
//                                 key:NAME or key:Alt+NAME: a key), waits
//                                 until the window shows that state and focus
//                                 ("-": any; "gone": the window closes),
//                                 prints what it saw in the same form
//   suirei-probe strike COLOURS   clicks 2, and while the frames play clicks
//                                 and types at the window; prints the pictures
//                                 P1 showed, named by COLOURS ("name rrggbb"
//                                 a line), then the state it settled in
//   suirei-probe dialog           the game's message box: its text; closes it
//   suirei-probe close            asks the window to close, as its close box does
//
// The state is written as the play driver writes it,
// "visible":[…],"text":"…", so that the tests compare the two as bytes.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "button.hpp"
#include "json.hpp"
#include "text.hpp"

namespace {

using namespace suirei;
using win32::narrow;
using win32::widen;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

void print(const std::string& line) {
    std::fwrite(line.data(), 1, line.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

[[noreturn]] void fail(const std::string& why) {
    std::fprintf(stderr, "suirei-probe: %s\n", why.c_str());
    std::exit(1);
}

// WM_GETTEXT itself: GetWindowText does not ask a control of another
// process for its text.
std::wstring textOf(HWND w) {
    DWORD_PTR length = 0;
    // A busy machine can keep the game from answering for a while: wait for
    // it rather than take a game that has not answered yet for one that hangs.
    SendMessageTimeoutW(w, WM_GETTEXTLENGTH, 0, 0, SMTO_NORMAL, 10000, &length);
    std::wstring text(length + 1, L'\0');
    DWORD_PTR got = 0;
    SendMessageTimeoutW(w, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_NORMAL, 10000,
                        &got);
    text.resize(got);
    return text;
}

std::wstring classOf(HWND w) {
    wchar_t name[64] = {};
    GetClassNameW(w, name, 64);
    return name;
}

HWND findGame(std::chrono::milliseconds limit = 30s) {
    for (const auto until = Clock::now() + limit; Clock::now() < until; std::this_thread::sleep_for(10ms))
        if (const HWND w = FindWindowW(L"suirei.Form6", nullptr); w && IsWindowVisible(w)) {
            // Shown is not yet started: wait until the game waits for the player.
            DWORD id = 0;
            GetWindowThreadProcessId(w, &id);
            if (const HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION, FALSE, id)) {
                WaitForInputIdle(process, 10000);
                CloseHandle(process);
            }
            return w;
        }
    fail("no game window after " + std::to_string(limit.count()) + " ms");
}

struct Control {
    HWND handle;
    std::string name;  // P1, T1, Command1 … or the class for anything else
    std::wstring type;
};

std::vector<HWND> children(HWND parent) {
    std::vector<HWND> out;
    EnumChildWindows(
        parent,
        [](HWND w, LPARAM list) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&out));
    return out;
}

std::vector<Control> controls(HWND game) {
    std::vector<Control> out;
    for (HWND w : children(game)) {
        const std::wstring type = classOf(w);
        const std::string text = narrow(textOf(w));
        std::string name = narrow(type);
        if (_wcsicmp(type.c_str(), L"Edit") == 0) name = "T1";
        else if (_wcsicmp(type.c_str(), L"Static") == 0 && text == "場面") name = "P1";
        else if (_wcsicmp(type.c_str(), L"Button") == 0)
            if (const auto b = find_button(text)) name = std::string(suirei::name(*b));
        out.push_back({w, name, type});
    }
    return out;
}

RECT clientRect(HWND game, HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    MapWindowPoints(HWND_DESKTOP, game, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string focusName(HWND game) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(game, nullptr), &info) || !info.hwndFocus) return "none";
    if (info.hwndFocus == game) return "Form6";
    for (const Control& c : controls(game))
        if (c.handle == info.hwndFocus) return c.name;
    return "other";
}

// The state as the play driver writes it.
std::string state(HWND game) {
    std::string visible, text;
    std::map<int, std::string> shown;
    for (const Control& c : controls(game)) {
        if (c.name == "T1") text = json::quote(narrow(textOf(c.handle)));
        if (const auto b = find_button(c.name); b && IsWindowVisible(c.handle)) shown[index(*b)] = c.name;
    }
    for (const auto& [i, name] : shown) visible += (visible.empty() ? "" : ",") + json::quote(name);
    std::string out = "\"visible\":[";
    out.append(visible).append("],\"text\":").append(text);
    return out;
}

HWND control(HWND game, const std::string& name) {
    for (const Control& c : controls(game))
        if (c.name == name) return c.handle;
    fail("no control " + name);
}

int dump() {
    const HWND game = findGame();
    RECT client{};
    GetClientRect(game, &client);
    POINT origin{0, 0};
    ClientToScreen(game, &origin);
    print("title " + narrow(textOf(game)));
    print("client " + std::to_string(client.right) + " " + std::to_string(client.bottom));
    print("origin " + std::to_string(origin.x) + " " + std::to_string(origin.y));
    print("dpi " + std::to_string(GetDpiForWindow(game)));
    print("focus " + focusName(game));
    for (const Control& c : controls(game)) {
        const RECT r = clientRect(game, c.handle);
        const LONG style = GetWindowLongW(c.handle, GWL_STYLE);
        print("control " + c.name + " " + (IsWindowVisible(c.handle) ? "shown" : "hidden") + " " +
              ((style & WS_TABSTOP) ? "tab" : "notab") + " " + std::to_string(r.left) + " " + std::to_string(r.top) +
              " " + std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top) + " " +
              json::quote(narrow(textOf(c.handle))));
    }
    return 0;
}

void sendKeys(const std::vector<WORD>& keys, bool alt = false) {
    std::vector<INPUT> input;
    INPUT menu{};
    menu.type = INPUT_KEYBOARD;
    menu.ki.wVk = VK_MENU;
    if (alt) input.push_back(menu);
    for (WORD key : keys) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wVk = key;
        INPUT up = down;
        up.ki.dwFlags = KEYEVENTF_KEYUP;
        input.push_back(down);
        input.push_back(up);
    }
    menu.ki.dwFlags = KEYEVENTF_KEYUP;
    if (alt) input.push_back(menu);
    SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
}

WORD keyNamed(const std::string& name) {
    static const std::map<std::string, WORD> keys = {
        {"Tab", VK_TAB}, {"Space", VK_SPACE}, {"Return", VK_RETURN}, {"F4", VK_F4}};
    const auto k = keys.find(name);
    if (k == keys.end()) fail("no key called " + name);
    return k->second;
}

// A click of the mouse in the middle of a control.
void mouseClick(HWND control) {
    RECT r{};
    GetWindowRect(control, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT mouse[2] = {{INPUT_MOUSE, {}}, {INPUT_MOUSE, {}}};
    mouse[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    mouse[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, mouse, sizeof(INPUT));
}

// BM_CLICK, as automation tools press a button; false when the game did not
// return from it within 10 s (or ended meanwhile).
bool press(HWND button) {
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(button, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, 10000, &ignored) != 0;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream in(line);
    for (std::string f; std::getline(in, f, '\t');) out.push_back(f);
    return out;
}

int play(const char* path) {
    std::ifstream steps(path, std::ios::binary);
    if (!steps) fail(std::string("cannot read ") + path);
    const HWND game = findGame();
    for (std::string line; std::getline(steps, line);) {
        const auto f = fields(line);
        if (f.size() != 3) fail("not a step: " + line);
        const std::string& action = f[0];
        const bool gone = f[1] == "gone";  // the step ends the game
        if (action.starts_with("key:Alt+")) sendKeys({keyNamed(action.substr(8))}, true);
        else if (action.starts_with("key:")) sendKeys({keyNamed(action.substr(4))});
        else if (action.starts_with("post:")) PostMessageW(control(game, action.substr(5)), BM_CLICK, 0, 0);
        else if (action.starts_with("mouse:")) mouseClick(control(game, action.substr(6)));
        else if (!press(control(game, action)) && !gone) fail("the game did not take BM_CLICK on " + action);
        // The strike's frames, or a key still on its way: wait for the state.
        std::string seen, focus;
        for (const auto until = Clock::now() + 5s;; std::this_thread::sleep_for(5ms)) {
            if (!IsWindow(game)) {
                seen = "gone";
                focus = f[2];
                if (!gone) fail("the game window went away after " + action);
                break;
            }
            if (gone && Clock::now() < until) continue;
            seen = f[1] == "-" ? "-" : state(game);
            focus = f[2] == "-" ? "-" : focusName(game);
            if ((seen == f[1] && focus == f[2]) || Clock::now() > until) break;
        }
        print(action + "\t" + seen + "\t" + focus);
    }
    return 0;
}

std::string hexColour(COLORREF c) {
    char text[8];
    std::snprintf(text, sizeof text, "%02x%02x%02x", GetRValue(c), GetGValue(c), GetBValue(c));
    return text;
}

int strike(const char* path) {
    std::map<std::string, std::string> names;  // rrggbb → picture
    std::ifstream colours(path);
    for (std::string name, hex; colours >> name >> hex;) names[hex] = name;
    const HWND game = findGame();
    const HWND two = control(game, "Command11");
    const HWND quit = control(game, "Command12");
    const HWND picture = control(game, "P1");
    RECT box{};
    GetWindowRect(picture, &box);
    const POINT centre{(box.left + box.right) / 2, (box.top + box.bottom) / 2};
    const HDC screen = GetDC(nullptr);
    const auto shown = [&] {
        const std::string hex = hexColour(GetPixel(screen, centre.x, centre.y));
        return names.count(hex) ? names[hex] : hex;
    };

    const std::string before = shown();
    const auto start = Clock::now();
    PostMessageW(two, BM_CLICK, 0, 0);
    std::vector<std::pair<std::string, long long>> seen;
    bool tried = false;
    for (auto settled = Clock::now();; std::this_thread::sleep_for(2ms)) {
        const std::string now = shown();
        const auto t = Clock::now();
        // Between two pictures the screen can be caught half painted: only a
        // picture's own colour counts as a frame.
        const bool known = now.ends_with(".bmp");
        if (known && ((seen.empty() && now != before) || (!seen.empty() && now != seen.back().first))) {
            seen.emplace_back(now, std::chrono::duration_cast<std::chrono::milliseconds>(t - start).count());
            settled = t;
        }
        if (!seen.empty() && !tried) {
            // The player, and a program, at the window while the first frame
            // is up: 終了 clicked with the mouse and by BM_CLICK, Space and
            // Enter typed. All of it must be dropped.
            tried = true;
            mouseClick(quit);
            sendKeys({VK_SPACE, VK_RETURN});
            press(quit);
        }
        if (!seen.empty() && t - settled > 1s) break;
        if (t - start > 10s) break;
        if (!IsWindow(game)) {
            print("ended during the strike");
            return 1;
        }
    }
    ReleaseDC(nullptr, screen);
    std::string line = "frames";
    for (const auto& [name, at] : seen) line += " " + name + "@" + std::to_string(at);
    print(line);
    print("state " + state(game));
    return 0;
}

int dialog() {
    for (const auto until = Clock::now() + 30s; Clock::now() < until; std::this_thread::sleep_for(20ms)) {
        const HWND box = FindWindowW(L"#32770", nullptr);
        if (!box || !IsWindowVisible(box)) continue;
        print("title " + narrow(textOf(box)));
        const HWND game = FindWindowW(L"suirei.Form6", nullptr);
        print(std::string("window ") + (game && IsWindowVisible(game) ? "shown" : "not shown"));
        for (HWND w : children(box))
            if (_wcsicmp(classOf(w).c_str(), L"Static") == 0 && !textOf(w).empty())
                print("text " + json::quote(narrow(textOf(w))));
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        return 0;
    }
    fail("no message box after 30 s");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    _setmode(_fileno(stdout), _O_BINARY);
    const std::string command = argc > 1 ? narrow(argv[1]) : "";
    if (command == "dump") return dump();
    if (command == "play" && argc == 3) return play(narrow(argv[2]).c_str());
    if (command == "strike" && argc == 3) return strike(narrow(argv[2]).c_str());
    if (command == "dialog") return dialog();
    if (command == "close") {
        PostMessageW(findGame(), WM_CLOSE, 0, 0);
        return 0;
    }
    std::fprintf(stderr, "usage: suirei-probe dump | play FILE | strike COLOURS | dialog | close\n");
    return 2;
}
