#include "controls.hpp"

#include <QFontDatabase>
#include <QPalette>
#include <QTextBlock>
#include <QTextCursor>

#include "layout.hpp"

namespace suirei {

QFont gameFont() {
    const QStringList installed = QFontDatabase::families();
    QFont font;
    for (std::string_view family : layout::kFontFamilies)
        if (installed.contains(qs(family))) {
            font = QFont(qs(family));
            break;
        }
    font.setPixelSize(layout::kFontPixels);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

Controls createControls(QWidget& window) {
    window.setFixedSize(layout::kClientWidth, layout::kClientHeight);
    window.setFont(gameFont());
    QPalette palette = window.palette();
    const layout::Colour c = layout::kBackground;
    palette.setColor(QPalette::Window, QColor(c.red, c.green, c.blue));
    window.setPalette(palette);

    Controls made;
    // Made in tab order: Tab follows the order in which a window's widgets
    // were made.
    for (const layout::Control& control : layout::kControls) {
        QWidget* w = nullptr;
        switch (control.kind) {
        case layout::Kind::picture:
            w = made.P1 = new QLabel(&window);
            // A one-pixel line around the picture, drawn from the top-left
            // corner at its own size.
            made.P1->setFrameStyle(QFrame::Box | QFrame::Plain);
            made.P1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            made.P1->setBackgroundRole(QPalette::Base);
            made.P1->setAutoFillBackground(true);
            break;
        case layout::Kind::text:
            w = made.T1 = new QTextEdit(&window);
            made.T1->setReadOnly(true);
            made.T1->setLineWrapMode(QTextEdit::NoWrap);
            made.T1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            made.T1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
            made.T1->setAcceptRichText(false);
            made.T1->setUndoRedoEnabled(false);
            made.T1->document()->setDocumentMargin(layout::kPageMargin);
            made.T1->setFocusPolicy(Qt::TabFocus);
            break;
        case layout::Kind::button: {
            auto* b = new QPushButton(qs(control.caption), &window);
            b->setVisible(control.visibleAtCreation);
            made.buttons[static_cast<std::size_t>(index(*control.button))] = b;
            w = b;
            break;
        }
        }
        w->setObjectName(qs(control.name));
        w->setGeometry(control.rect.x, control.rect.y, control.rect.width, control.rect.height);
        w->setAccessibleName(qs(control.accessibleName));
    }
    return made;
}

void setPage(QTextEdit& T1, const QString& page) {
    T1.setPlainText(page);
    QTextBlockFormat lines;
    lines.setLineHeight(layout::kLineHeight, QTextBlockFormat::FixedHeight);
    QTextCursor all(T1.document());
    all.select(QTextCursor::Document);
    all.mergeBlockFormat(lines);
}

}  // namespace suirei
