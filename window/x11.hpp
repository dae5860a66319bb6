// The game on an X server: the display is tried before the toolkit starts,
// and the game's windows are watched for another X client destroying them.
#pragma once

#include <QAbstractNativeEventFilter>

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace suirei {

// The X display the game would use, tried before the toolkit starts: without
// this the toolkit aborts with a core dump when there is none. The connection
// is held until the object goes, after the toolkit has made its own: a server
// with no other client (Xvfb, a bare X server) resets itself when its last
// client leaves, and the toolkit would wait for that.
class XDisplayCheck {
public:
    XDisplayCheck(int argc, char** argv);
    ~XDisplayCheck();
    XDisplayCheck(const XDisplayCheck&) = delete;
    XDisplayCheck& operator=(const XDisplayCheck&) = delete;

    // Why the game cannot show itself there (none set, or no server
    // answering), as a message for standard error; nothing when it can, or
    // when the toolkit will not use X at all.
    const std::optional<std::string>& problem() const { return problem_; }

private:
    std::optional<std::string> problem_;
    void* connection_ = nullptr;
};

// Tells `handler` when another X client destroys one of the application's
// top-level windows (the game's window, its error message): the toolkit
// would go on running with nothing on the screen, waiting for a window that
// is gone. Listens only on X; elsewhere it does nothing.
class DestroyedWindowWatch : public QAbstractNativeEventFilter {
public:
    explicit DestroyedWindowWatch(std::function<void(QWidget* gone)> handler);
    ~DestroyedWindowWatch() override;

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

private:
    std::function<void(QWidget*)> handler_;
    bool listening_ = false;
};

}  // namespace suirei
