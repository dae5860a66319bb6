// What the window tests share: a scratch program folder of pictures, and a
// window whose start-up stays in that folder.
#pragma once

#include <gtest/gtest.h>

#include <QColor>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMouseEvent>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <QImage>
#include <QTemporaryDir>

#include <chrono>
#include <functional>

#include "check.hpp"
#include "form6.hpp"

namespace suirei::testing {

// The eighteen pictures as small 24-bit bitmaps in a scratch folder, made the
// current directory for the test's lifetime.
class ScratchPictures {
public:
    ScratchPictures() {
        for (std::string_view file : kPictureFiles)
            write(QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size())));
        previous_ = QDir::currentPath();
        QDir::setCurrent(dir_.path());
    }
    ~ScratchPictures() { QDir::setCurrent(previous_); }
    ScratchPictures(const ScratchPictures&) = delete;
    ScratchPictures& operator=(const ScratchPictures&) = delete;

    void write(const QString& name, QColor colour = QColor(90, 40, 40)) {
        QImage image(143, 119, QImage::Format_RGB888);
        image.fill(colour);
        ASSERT_TRUE(image.save(dir_.filePath(name), "BMP"));
    }
    QString path(const QString& name) const { return dir_.filePath(name); }

private:
    QTemporaryDir dir_;
    QString previous_;
};

// Start-up would make the test binary's folder current; these windows keep to
// the scratch folder instead.
class TestWindow : public Form6 {
public:
    using Form6::Form6;
    void enterProgramFolder() override {}
};

// Runs the event loop until `done` holds or `limit` has passed; tells which.
inline bool wait_until(const std::function<bool()>& done, std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limit.count()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

// A click as the mouse makes it: press and release in the middle of the
// button, queued like any input from the window system.
inline void post_click(QPushButton* b) {
    const QPointF at = QRectF(b->rect()).center();
    const QPointF global = b->mapToGlobal(at);
    QCoreApplication::postEvent(b, new QMouseEvent(QEvent::MouseButtonPress, at, global, Qt::LeftButton,
                                                   Qt::LeftButton, Qt::NoModifier));
    QCoreApplication::postEvent(b, new QMouseEvent(QEvent::MouseButtonRelease, at, global, Qt::LeftButton,
                                                   Qt::NoButton, Qt::NoModifier));
}

// Runs the event loop until the strike's frames are over (or 20 s have
// passed); tells which.
inline bool wait_for_the_strike(Form6& window) {
    if (!window.playingFrames()) return true;
    QEventLoop loop;
    QObject::connect(&window, &Form6::framesPlayed, &loop, &QEventLoop::quit);
    QTimer::singleShot(std::chrono::seconds(20), &loop, [&] { loop.exit(1); });
    return loop.exec() == 0;
}

}  // namespace suirei::testing
