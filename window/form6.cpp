#include "form6.hpp"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTextBlock>
#include <QTextCursor>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#ifdef __linux__
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "focus.hpp"
#include "picture.hpp"

namespace suirei {

namespace {

// Window layout in pixels (the design grid of 15 twips to the pixel).
struct Place {
    Button button;
    QRect rect;
};

constexpr QRect kPictureRect{8, 0, 145, 121};
constexpr QRect kTextRect{8, 128, 449, 153};

const std::array<Place, kButtonCount> kPlaces = {{
    {Button::Command1, {160, 8, 81, 25}},
    {Button::Command2, {160, 40, 81, 25}},
    {Button::Command3, {160, 72, 81, 25}},
    {Button::Command4, {248, 8, 105, 25}},
    {Button::Command5, {248, 48, 105, 25}},
    {Button::Command6, {248, 88, 105, 25}},
    {Button::Command7, {360, 8, 105, 25}},
    {Button::Command8, {360, 48, 105, 25}},
    {Button::Command9, {160, 96, 81, 25}},
    {Button::Command10, {360, 88, 33, 25}},
    {Button::Command11, {400, 88, 33, 25}},
    {Button::Command12, {440, 88, 33, 25}},
}};

// The page is eleven lines in a box 153 pixels high: no line may take more
// than this, whatever the font's own spacing.
constexpr int kLineHeight = 13;
constexpr int kPageMargin = 2;

bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
    case QEvent::Wheel:
    case QEvent::ContextMenu:
    case QEvent::InputMethod:
    case QEvent::TabletPress:
    case QEvent::TabletMove:
    case QEvent::TabletRelease:
    case QEvent::NativeGesture:
        return true;
    default:
        return false;
    }
}

}  // namespace

QFont Form6::gameFont() {
    // Gothic faces whose metrics fit eleven lines at 12 pixels; the first one
    // installed wins. Any other Japanese font still renders, with the line
    // height held at kLineHeight by the page layout.
    const QStringList families = QFontDatabase::families();
    QFont font;
    for (const char* family : {"IPAGothic", "IPAexGothic", "Noto Sans CJK JP", "Yu Gothic UI", "Meiryo UI", "MS UI Gothic"})
        if (families.contains(QString::fromUtf8(family))) {
            font = QFont(QString::fromUtf8(family));
            break;
        }
    font.setPixelSize(12);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

Form6::Form6(const Script& script, QWidget* parent)
    : QWidget(parent),
      trace_(qEnvironmentVariableIsSet("SUIREI_BENCH_TRACE")),
      story_(*this, script),
      P1_(new QLabel(this)),
      T1_(new QTextEdit(this)) {
    visible_[static_cast<std::size_t>(index(Button::Command12))] = true;
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        QCoreApplication::instance()->installNativeEventFilter(&windowDestroyed_);
    frameTimer_.setSingleShot(true);
    frameTimer_.setTimerType(Qt::PreciseTimer);  // a coarse timer may fire 5 % early
    connect(&frameTimer_, &QTimer::timeout, this, &Form6::playNextFrame);
    setWindowTitle(QStringLiteral("翠　嶺　秘　抄　～古代歴史ロマン～"));
    setObjectName(QStringLiteral("Form6"));
    setFixedSize(kClientSize);
    setFont(gameFont());

    QPalette salmon = palette();
    salmon.setColor(QPalette::Window, QColor(255, 128, 128));
    setPalette(salmon);
    setAutoFillBackground(true);

    P1_->setObjectName(QStringLiteral("P1"));
    P1_->setGeometry(kPictureRect);
    P1_->setFrameStyle(QFrame::Box | QFrame::Plain);
    P1_->setLineWidth(1);
    P1_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    P1_->setScaledContents(false);
    P1_->setBackgroundRole(QPalette::Base);
    P1_->setAutoFillBackground(true);
    P1_->setAccessibleName(QStringLiteral("場面"));

    T1_->setObjectName(QStringLiteral("T1"));
    T1_->setGeometry(kTextRect);
    T1_->setReadOnly(true);
    T1_->setLineWrapMode(QTextEdit::NoWrap);
    T1_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    T1_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    T1_->setAcceptRichText(false);
    T1_->setUndoRedoEnabled(false);
    T1_->document()->setDocumentMargin(kPageMargin);
    T1_->setAccessibleName(QStringLiteral("本文"));
    T1_->setFocusPolicy(Qt::TabFocus);

    QWidget* previous = T1_;
    for (const Place& place : kPlaces) {
        auto* b = new QPushButton(QString::fromUtf8(caption(place.button).data(),
                                                    static_cast<qsizetype>(caption(place.button).size())),
                                  this);
        b->setObjectName(QString::fromLatin1(name(place.button).data(), static_cast<qsizetype>(name(place.button).size())));
        b->setGeometry(place.rect);
        b->setAccessibleName(b->text());
        b->setAutoDefault(false);
        b->setVisible(place.button == Button::Command12);
        if (trace_) {
            // A button repaints itself as it is released, before it reports
            // the click; the paint that counts is the first one after that.
            b->installEventFilter(this);
            connect(b, &QPushButton::clicked, this, [this] { clickPending_ = true; });
        }
        connect(b, &QPushButton::clicked, this, [this, id = place.button] { onClick(id); });
        setTabOrder(previous, b);
        previous = b;
        buttons_[static_cast<std::size_t>(index(place.button))] = b;
    }
}

Form6::~Form6() {
    dropInput(false);
    if (QCoreApplication::instance()) QCoreApplication::instance()->removeNativeEventFilter(&windowDestroyed_);
}

bool Form6::WindowDestroyed::nativeEventFilter(const QByteArray& type, void* message, qintptr*) {
    if (type != "xcb_generic_event_t" || !window->testAttribute(Qt::WA_WState_Created)) return false;
    // An X DestroyNotify event (as xcb lays it out: type, pad, sequence, the
    // window told, the window destroyed), for this window.
    struct DestroyNotify {
        quint8 responseType;
        quint8 pad;
        quint16 sequence;
        quint32 event;
        quint32 window;
    };
    const auto* e = static_cast<const DestroyNotify*>(message);
    constexpr quint8 kDestroyNotify = 17;
    if ((e->responseType & 0x7f) == kDestroyNotify && e->window == window->winId()) {
        std::fprintf(stderr, "suirei: the window was destroyed by another program; the game ends\n");
        window->stopPlaying();
        QCoreApplication::exit(0);
    }
    return false;
}

bool Form6::Form_Load() {
    try {
        story_.Form_Load();
        return true;
    } catch (const GameError& e) {
        fail(e.message());
        return false;
    }
}

void Form6::onClick(Button b) {
    // A click that slipped past the input filter while the strike plays
    // (a program clicking, say) is dropped all the same.
    if (failed_ || playing_) return;
    const QPointer<QWidget> focused = focusWidget();
    try {
        story_.click(b);
    } catch (const GameError& e) {
        fail(e.message());
        return;
    }
    if (playing_) {
        strikeFocus_ = focused;
        playFrames();
    } else {
        focusStory(focused);
    }
}

void Form6::fail(const QString& message) {
    // The error dialog must take the player's OK and Return: nothing of the
    // strike may go on dropping input under it.
    stopPlaying();
    failed_ = true;
    if (onFailure_) {
        onFailure_(message);
        return;
    }
    reportFatal(message, isVisible() ? this : nullptr);
    hide();
    QCoreApplication::exit(1);
}

void Form6::setVisible(Button b, bool visible) {
    visible_[static_cast<std::size_t>(index(b))] = visible;
    if (!playing_) button(b)->setVisible(visible);
}

bool Form6::isVisible(Button b) const { return visible_[static_cast<std::size_t>(index(b))]; }

void Form6::setText(std::string_view text) {
    text_.assign(text);
    if (!playing_) showText(text_);
}

void Form6::loadPicture(std::string_view file) {
    const QString name = QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size()));
    const QImage image = readPicture(name);
    picture_ = name;
    // During the strike the picture waits for the frames; it is read again
    // when its turn comes.
    if (!playing_) showPicture(name, image);
}

void Form6::showFrame(std::string_view file, std::chrono::milliseconds hold) {
    // Checked now, so that a missing frame fails the click that needs it.
    readPicture(QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size())));
    if (!playing_) {
        playing_ = true;
        dropInput(true);
        // A frame queued outside a click starts playing from the event loop.
        QMetaObject::invokeMethod(this, &Form6::playFrames, Qt::QueuedConnection);
    }
    frames_.push_back(snapshot(*this, file, frameHold_.value_or(hold)));
}

void Form6::showText(const std::string& text) {
    // The story's line breaks are CR LF pairs; the text box wants paragraphs.
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (shown == shownText_) return;
    shownText_ = shown;
    T1_->setPlainText(shown);

    QTextBlockFormat lines;
    lines.setLineHeight(kLineHeight, QTextBlockFormat::FixedHeight);
    QTextCursor all(T1_->document());
    all.select(QTextCursor::Document);
    all.mergeBlockFormat(lines);
}

void Form6::showButtons(const std::array<bool, kButtonCount>& visible) {
    for (Button b : kAllButtons) button(b)->setVisible(visible[static_cast<std::size_t>(index(b))]);
}

void Form6::showPicture(const QString& file, const QImage& image) {
    P1_->setPixmap(QPixmap::fromImage(image));
    pictureFile_ = file;
}

void Form6::focusStory(QWidget* focused) {
    // After a click the focus is where the player's last press was. When that
    // button has hidden itself, or no longer moves the story (Talk and Other
    // speaks take turns), it goes on to the button that does: Space after
    // Space reads the story, and never falls to Quit by itself. Keyboard
    // players still reach Quit with Tab.
    if (!focused) return;
    std::optional<Button> on;
    for (Button b : kAllButtons)
        if (button(b) == focused && focused->isVisibleTo(this)) on = b;
    const FocusDecision d = decide_focus(story_, *this, on);
    if (d.kind == FocusDecision::Kind::stay) return;
    if (d.kind == FocusDecision::Kind::none) {
        if (!focused->isVisibleTo(this)) T1_->setFocus(Qt::OtherFocusReason);
        return;
    }
    setAttribute(Qt::WA_KeyboardFocusChange);  // the focus ring is drawn
    button(d.to)->setFocus(Qt::TabFocusReason);
}

void Form6::playFrames() {
    if (!playing_ || startedFrames_) return;
    startedFrames_ = true;
    playNextFrame();
}

void Form6::playNextFrame() {
    if (!playing_) return;
    try {
        if (frames_.empty()) {
            // What the click left: iru.bmp, the empty page, Talk.
            if (!picture_.isEmpty()) showPicture(picture_, readPicture(picture_));
            showText(text_);
            showButtons(visible_);
            focusStory(strikeFocus_);
            repaint();
            playing_ = false;
            startedFrames_ = false;
            // Input that came while the last frame was held and is still
            // queued is dropped before the filter goes.
            QMetaObject::invokeMethod(
                this,
                [this] {
                    if (playing_) return;
                    dropInput(false);
                    Q_EMIT framesPlayed();
                },
                Qt::QueuedConnection);
            return;
        }
        const HeldFrame frame = std::move(frames_.front());
        frames_.pop_front();
        const QString file = QString::fromStdString(frame.picture);
        showPicture(file, readPicture(file));
        showText(frame.text);
        showButtons(frame.visible);
        // The frame and the battle cry reach the screen now, not whenever
        // the event loop would have painted them.
        repaint();
        frameTimer_.start(frame.hold);
    } catch (const GameError& e) {
        fail(e.message());
    }
}

void Form6::stopPlaying() {
    frameTimer_.stop();
    frames_.clear();
    playing_ = false;
    startedFrames_ = false;
    dropInput(false);
}

void Form6::dropInput(bool drop) {
    if (drop == dropInput_) return;
    dropInput_ = drop;
    if (drop)
        qApp->installEventFilter(this);
    else
        qApp->removeEventFilter(this);
}

void Form6::closeEvent(QCloseEvent* event) {
    // Closing the window during the strike ends the game; the frames left
    // are not played.
    stopPlaying();
    QWidget::closeEvent(event);
}

bool Form6::event(QEvent* event) {
    if (!trace_) return QWidget::event(event);
    const QEvent::Type type = event->type();
    const bool handled = QWidget::event(event);
    if (type == QEvent::Paint && !firstPaintTraced_) {
        // The window's own paint comes first; its children are painted and
        // the frame goes to the screen before the event loop runs this.
        firstPaintTraced_ = true;
        QMetaObject::invokeMethod(this, [] {
            const auto now = std::chrono::system_clock::now().time_since_epoch();
            std::fprintf(stderr, "first-paint %lld\n",
                         static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()));
        }, Qt::QueuedConnection);
    } else if (type == QEvent::UpdateRequest && clickPending_) {
        // Every repaint of the window, whatever changed, is one update
        // request to it; when it returns, the frame has been painted and sent.
        const auto took = std::chrono::steady_clock::now() - releasedAt_;
        clickPending_ = false;
        std::fprintf(stderr, "click-paint %lld\n",
                     static_cast<long long>(std::chrono::duration_cast<std::chrono::nanoseconds>(took).count()));
    }
    return handled;
}

bool Form6::eventFilter(QObject* watched, QEvent* event) {
    if (trace_ && event->type() == QEvent::MouseButtonRelease) releasedAt_ = std::chrono::steady_clock::now();
    if (dropInput_ && isUserInput(event->type())) return true;
    return QWidget::eventFilter(watched, event);
}

#ifdef __linux__
namespace {

// Where a symbolic link points, in raw bytes; empty when the kernel cannot
// spell it out (a path over 4096 bytes).
std::string readLink(const char* link) {
    std::string target(256, '\0');
    for (;;) {
        const ssize_t n = ::readlink(link, target.data(), target.size());
        if (n < 0) return {};
        if (static_cast<std::size_t>(n) < target.size()) return target.substr(0, static_cast<std::size_t>(n));
        target.resize(target.size() * 2);
    }
}

std::string folderOf(const std::string& path) {
    const auto slash = path.rfind('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// chdir, and for a path too long for one call, one folder at a time.
bool enterFolder(const std::string& folder) {
    if (::chdir(folder.c_str()) == 0) return true;
    if (errno != ENAMETOOLONG) return false;
    if (folder.front() == '/' && ::chdir("/") != 0) return false;
    for (std::size_t from = 0; from < folder.size();) {
        std::size_t to = folder.find('/', from);
        if (to == std::string::npos) to = folder.size();
        if (to > from && ::chdir(folder.substr(from, to - from).c_str()) != 0) return false;
        from = to + 1;
    }
    return true;
}

}  // namespace

void Form6::enterProgramFolder() {
    // The folder by its bytes as the file system has them: a folder unzipped
    // from a Japanese Windows archive can be named in Shift_JIS, which no
    // decoded QString would name again.
    std::string folder = folderOf(readLink("/proc/self/exe"));
    int reason = errno;
    if (folder.empty()) {
        // A program folder deeper than 4096 bytes: the program was started by
        // a shorter relative path from the current directory, which nothing
        // has changed yet. Taken only if it is the very same program file.
        std::string argv0;
        if (std::FILE* f = std::fopen("/proc/self/cmdline", "rb")) {
            for (int c; (c = std::fgetc(f)) != EOF && c != '\0';) argv0 += static_cast<char>(c);
            std::fclose(f);
        }
        struct stat self {}, named {};
        if (argv0.find('/') != std::string::npos && ::stat("/proc/self/exe", &self) == 0 &&
            ::stat(argv0.c_str(), &named) == 0 && self.st_dev == named.st_dev && self.st_ino == named.st_ino)
            folder = folderOf(argv0);
    }
    if (folder.empty())
        throw GameError(QStringLiteral("プログラムのフォルダーが分かりません。\n(/proc/self/exe: %1)")
                            .arg(QString::fromLocal8Bit(std::strerror(reason))));
    if (!enterFolder(folder)) {
        reason = errno;
        throw GameError(QStringLiteral("プログラムのフォルダーに移れません。\n(%1: %2)")
                            .arg(showBytes(QByteArray::fromStdString(folder)), QString::fromLocal8Bit(std::strerror(reason))));
    }
    setPictureFolder(showBytes(QByteArray::fromStdString(folder)));
}
#else
void Form6::enterProgramFolder() {
    const QString folder = QCoreApplication::applicationDirPath();
    if (!QDir::setCurrent(folder))
        throw GameError(QStringLiteral("プログラムのフォルダーに移れません。\n(%1: cannot make it the current folder)")
                            .arg(QDir::toNativeSeparators(folder)));
    setPictureFolder(QDir::toNativeSeparators(folder));
}
#endif

void Form6::quit() {
    close();
    QCoreApplication::quit();
}

void reportFatal(const QString& message, QWidget* parent) {
    std::fprintf(stderr, "suirei: %s\n", message.toLocal8Bit().constData());
    std::fflush(stderr);
    // Without a screen (the offscreen platform of tests and servers) nobody
    // could close the box, so the message goes to standard error alone.
    const QString platform = QGuiApplication::platformName();
    if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return;
    QMessageBox::critical(parent, QStringLiteral("翠嶺秘抄"), message);
}

}  // namespace suirei
