#include "x11.hpp"

#include <QApplication>
#include <QGuiApplication>
#include <QWidget>

#include <cstdlib>
#include <string_view>

#ifdef SUIREI_X11
#include <xcb/xcb.h>
#endif

namespace suirei {

namespace {

// The value of a toolkit option on the command line ("-platform xcb",
// "--display :1"), or null.
const char* option(int argc, char** argv, std::string_view name) {
    for (int i = 1; i + 1 < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg.starts_with("--")) arg.remove_prefix(1);
        if (arg.starts_with('-') && arg.substr(1) == name) return argv[i + 1];
    }
    return nullptr;
}

// Whether the toolkit will show the game on X: asked for by name, or by
// default outside a Wayland session.
[[maybe_unused]] bool onX(int argc, char** argv) {
    const char* platform = option(argc, argv, "platform");
    if (!platform) platform = std::getenv("QT_QPA_PLATFORM");
    if (platform && *platform) return std::string_view(platform).starts_with("xcb");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return !wayland || !*wayland;
}

}  // namespace

XDisplayCheck::XDisplayCheck([[maybe_unused]] int argc, [[maybe_unused]] char** argv) {
#ifdef SUIREI_X11
    if (!onX(argc, argv)) return;
    const char* display = option(argc, argv, "display");
    const char* where = display ? "-display" : "DISPLAY";
    if (!display) display = std::getenv("DISPLAY");
    if (!display || !*display) {
        problem_ = "X ディスプレイが指定されていません。\n(DISPLAY is not set)";
        return;
    }
    xcb_connection_t* x = xcb_connect(display, nullptr);
    connection_ = x;
    const int error = xcb_connection_has_error(x);
    if (!error) return;
    const char* why = error == XCB_CONN_CLOSED_PARSE_ERR       ? "not a display name"
                      : error == XCB_CONN_CLOSED_INVALID_SCREEN ? "no such screen"
                                                                : "no X server answers there, or it refused the game";
    problem_ = "X ディスプレイ「" + std::string(display) + "」に接続できません。\n(" + where + "=" + display + ": " + why + ")";
#endif
}

XDisplayCheck::~XDisplayCheck() {
#ifdef SUIREI_X11
    if (connection_) xcb_disconnect(static_cast<xcb_connection_t*>(connection_));
#endif
}

DestroyedWindowWatch::DestroyedWindowWatch(std::function<void(QWidget*)> handler) : handler_(std::move(handler)) {
#ifdef SUIREI_X11
    listening_ = QGuiApplication::platformName() == QLatin1String("xcb");
    if (listening_) QCoreApplication::instance()->installNativeEventFilter(this);
#endif
}

DestroyedWindowWatch::~DestroyedWindowWatch() {
    if (listening_ && QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(this);
}

bool DestroyedWindowWatch::nativeEventFilter([[maybe_unused]] const QByteArray& type, [[maybe_unused]] void* message,
                                             qintptr*) {
#ifdef SUIREI_X11
    if (type != "xcb_generic_event_t") return false;
    if ((static_cast<const xcb_generic_event_t*>(message)->response_type & 0x7f) != XCB_DESTROY_NOTIFY) return false;
    const xcb_window_t gone = static_cast<const xcb_destroy_notify_event_t*>(message)->window;
    // A window the toolkit destroyed itself is no longer any widget's by the
    // time the server tells of it; only one destroyed behind its back is.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->testAttribute(Qt::WA_WState_Created) && w->internalWinId() == gone) {
            handler_(w);
            break;
        }
#endif
    return false;
}

}  // namespace suirei
