#include "form6.hpp"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTextBlock>
#include <QTextCursor>
#include <QThread>

#include <cstdio>

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
    case QEvent::Wheel:
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
    if (dropInput_) qApp->removeEventFilter(this);
}

bool Form6::Form_Load() {
    try {
        story_.Form_Load();
        return true;
    } catch (const PictureError& e) {
        fail(e.message());
        return false;
    }
}

void Form6::onClick(Button b) {
    if (failed_) return;
    try {
        story_.click(b);
    } catch (const PictureError& e) {
        fail(e.message());
    }
    if (dropInput_) {
        // Whatever the player clicked while the strike played is dropped
        // here, so no click lands on a button that changed under the cursor:
        // input already read from the window system, and events posted while
        // that was handled, all pass the filter before it goes.
        for (int pass = 0; pass < 2; ++pass) {
            QCoreApplication::processEvents();
            QCoreApplication::sendPostedEvents();
        }
        qApp->removeEventFilter(this);
        dropInput_ = false;
    }
}

void Form6::fail(const QString& message) {
    failed_ = true;
    if (onFailure_) {
        onFailure_(message);
        return;
    }
    reportFatal(message, isVisible() ? this : nullptr);
    hide();
    QCoreApplication::exit(1);
}

void Form6::setVisible(Button b, bool visible) { button(b)->setVisible(visible); }

bool Form6::isVisible(Button b) const { return button(b)->isVisibleTo(this); }

void Form6::setText(std::string_view text) {
    text_.assign(text);
    // The story's line breaks are CR LF pairs; the text box wants paragraphs.
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    T1_->setPlainText(shown);

    QTextBlockFormat lines;
    lines.setLineHeight(kLineHeight, QTextBlockFormat::FixedHeight);
    QTextCursor all(T1_->document());
    all.select(QTextCursor::Document);
    all.mergeBlockFormat(lines);
}

void Form6::loadPicture(std::string_view file) {
    const QString name = QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size()));
    const QImage image = readPicture(name);
    P1_->setPixmap(QPixmap::fromImage(image));
    pictureFile_ = name;
}

void Form6::showFrame(std::string_view file, std::chrono::milliseconds hold) {
    loadPicture(file);
    if (!dropInput_) {
        qApp->installEventFilter(this);
        dropInput_ = true;
    }
    // Bring the frame, and the prince's cry in T1, to the screen now, then
    // hold it. Paint and window events go on being handled meanwhile, so the
    // window can still be closed; the player's clicks are eaten by the filter.
    repaint();
    QElapsedTimer held;
    held.start();
    while (QWidget::isVisible() && held.elapsed() < frameHold_.value_or(hold).count()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(5);
    }
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

void Form6::enterProgramFolder() {
    const QString folder = QCoreApplication::applicationDirPath();
    if (!QDir::setCurrent(folder))
        throw PictureError(QString(), QStringLiteral("プログラムのフォルダーに移れません。"), folder);
}

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
