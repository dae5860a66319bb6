#include "trace.hpp"

#include <QAbstractButton>
#include <QEvent>
#include <QWidget>

#include <chrono>
#include <cstdio>

namespace suirei {

namespace {

long long nanoseconds(std::chrono::nanoseconds d) { return static_cast<long long>(d.count()); }

class PaintTrace : public QObject {
public:
    explicit PaintTrace(QWidget* window) : QObject(window), window_(window) {
        window->installEventFilter(this);
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
            // A button repaints itself as it is released, before it reports
            // the click; the paint that counts is the first one after that.
            b->installEventFilter(this);
            connect(b, &QAbstractButton::clicked, this, [this] { clickPending_ = true; });
        }
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonRelease) {
            releasedAt_ = std::chrono::steady_clock::now();
        } else if (watched == window_ && type == QEvent::Paint && !firstPaintTraced_) {
            // The window's own paint comes first; its children are painted
            // and the frame goes to the screen before the event loop runs this.
            firstPaintTraced_ = true;
            QMetaObject::invokeMethod(this, [] {
                std::fprintf(stderr, "first-paint %lld\n",
                             nanoseconds(std::chrono::system_clock::now().time_since_epoch()));
            }, Qt::QueuedConnection);
        } else if (watched == window_ && type == QEvent::UpdateRequest && clickPending_) {
            // Every repaint of the window, whatever changed, is one update
            // request to it; once the window has handled it, the frame has
            // been painted and sent. So the window handles it here, and the
            // time is taken after that; it is not delivered a second time.
            watched->event(event);
            clickPending_ = false;
            std::fprintf(stderr, "click-paint %lld\n", nanoseconds(std::chrono::steady_clock::now() - releasedAt_));
            return true;
        }
        return false;
    }

private:
    QWidget* window_;
    bool firstPaintTraced_ = false;
    bool clickPending_ = false;
    std::chrono::steady_clock::time_point releasedAt_{};
};

}  // namespace

void traceIfAsked(QWidget* window) {
    if (qEnvironmentVariableIsSet("SUIREI_BENCH_TRACE")) new PaintTrace(window);
}

}  // namespace suirei
