// What the game's window is made of: the scene picture P1, the page T1 and
// the twelve buttons, each where the layout table puts it, with the game's
// size, colour and font. The game's window builds itself from these; so does
// the benchmarks' floor window, which is the same window with no story
// behind it.
#pragma once

#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QTextEdit>
#include <QWidget>

#include <array>
#include <string_view>

#include "button.hpp"

namespace suirei {

struct Controls {
    QLabel* P1 = nullptr;
    QTextEdit* T1 = nullptr;
    std::array<QPushButton*, kButtonCount> buttons{};

    QPushButton* button(Button b) const { return buttons[static_cast<std::size_t>(index(b))]; }
};

// The game's text as Qt holds it.
inline QString qs(std::string_view s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// The font of the page and the buttons: the first of the game's Gothic faces
// that is installed, at the game's pixel size. Any other Japanese font still
// renders, with the line height held by setPage.
QFont gameFont();

// Gives `window` the game window's size, colour and font, and creates its
// controls in it in tab order; of the buttons, only those the window shows
// when it is created are shown.
Controls createControls(QWidget& window);

// Puts a page on T1: its paragraphs are the page's lines, each exactly one
// line height, so that eleven of them fit the box whatever the face's own
// spacing.
void setPage(QTextEdit& T1, const QString& page);

}  // namespace suirei
