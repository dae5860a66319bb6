// The game on an X server: the display is tried before the toolkit starts,
// and the game's windows are watched for another X client destroying them.
#pragma once

#include <QAbstractNativeEventFilter>

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace suirei {

// Why the game cannot show itself on the X display it would use (none set,
// or no server answering there), as a message for standard error; nothing
// when it can, or when the toolkit will not use X at all. Without this the
// toolkit aborts with a core dump.
std::optional<std::string> xDisplayProblem(int argc, char** argv);

// Tells `handler` when another X client destroys one of the application's
// top-level windows (the game's window, its error message): the toolkit
// would go on running with nothing on the screen, waiting for a window that
// is gone. Listens only on X; elsewhere it does nothing.
class DestroyedWindowWatch : public QAbstractNativeEventFilter {
public:
    explicit DestroyedWindowWatch(std::function<void(QWidget* gone)> handler);
    ~DestroyedWindowWatch() override;
    DestroyedWindowWatch(const DestroyedWindowWatch&) = delete;
    DestroyedWindowWatch& operator=(const DestroyedWindowWatch&) = delete;

    bool nativeEventFilter(const QByteArray& type, void* message, qintptr* result) override;

private:
    std::function<void(QWidget*)> handler_;
    bool listening_ = false;
};

}  // namespace suirei
