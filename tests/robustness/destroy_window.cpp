// Destroys an X window from outside, as another program (a window manager
// gone wrong, a desktop tool) may: the window goes, its owner lives on.
// xkill and `xdotool windowkill` instead cut the owner's whole connection.
//
//   destroy-window <window id>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <window id>\n", argv[0]);
        return 2;
    }
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "destroy-window: cannot open the display\n");
        return 1;
    }
    const auto window = static_cast<xcb_window_t>(std::strtoul(argv[1], nullptr, 0));
    // Checked, so that the request has reached the server before we go.
    std::unique_ptr<xcb_generic_error_t, decltype(&std::free)> error(
        xcb_request_check(x, xcb_destroy_window_checked(x, window)), &std::free);
    xcb_disconnect(x);
    if (error) {
        std::fprintf(stderr, "destroy-window: X error %d\n", error->error_code);
        return 1;
    }
    return 0;
}
