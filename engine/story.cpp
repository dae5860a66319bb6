#include "story.hpp"

#include <stdexcept>
#include <string>

namespace suirei {

namespace {

constexpr std::string_view kMovePrompt = "どこへ行こうか？";
constexpr std::string_view kOpeningPicture = "kuron.bmp";

std::size_t page_index(Button speaking) {
    switch (speaking) {
    case Button::Command1: return 0;
    case Button::Command2: return 1;
    case Button::Command9: return 2;
    default: throw std::logic_error(std::string(name(speaking)) + " owns no page buffer");
    }
}

}  // namespace

Story::Story(Screen& screen, const Script& script) : screen_(&screen), script_(&script) {}

const Page& Story::page(Button speaking) const { return memory_.pages[page_index(speaking)]; }
Page& Story::page_of(Button speaking) { return memory_.pages[page_index(speaking)]; }

void Story::Form_Load() {
    screen_->enterProgramFolder();
    screen_->setVisible(Button::Command9, true);
    screen_->loadPicture(kOpeningPicture);
    const auto& lines = script_->opening();
    memory_.opening = Page{{lines[0], lines[1], lines[2], "", ""}, ""};
    memory_.state = 1;
    render(memory_.opening);
}

void Story::click(Button b, std::vector<const Rule*>* fired) {
    using enum Button;
    // Pre-actions and gates.
    switch (b) {
    case Command1:
        screen_->setVisible(Command2, true);
        break;
    case Command2:
        break;
    case Command3:
        screen_->setVisible(Command3, false);
        screen_->setText(kMovePrompt);
        break;
    case Command4: case Command5: case Command6: case Command7: case Command8:
        screen_->setVisible(Command1, true);
        for (Button hidden : {Command2, Command3, Command4, Command5, Command6, Command7, Command8})
            screen_->setVisible(hidden, false);
        screen_->setText("");
        break;
    case Command9:
        break;
    case Command10: case Command11:
        screen_->setVisible(Command3, true);
        screen_->setVisible(Command10, false);
        screen_->setVisible(Command11, false);
        break;
    case Command12:
        screen_->quit();
        return;
    }
    if (!passes_gate(b, memory_.state)) return;

    // The whole list, each rule against the state as it stands now.
    for (const Rule* rule : script_->rules(b))
        if (rule->state == memory_.state) {
            if (fired) fired->push_back(rule);
            run(*rule);
        }

    if (is_speaking(b)) render(page_of(b));
}

void Story::run(const Rule& rule) {
    for (const Action& a : rule) {
        switch (a.op) {
        case Op::SetState: memory_.state = a.value; break;
        case Op::Show: screen_->setVisible(button_at(a.target), true); break;
        case Op::Hide: screen_->setVisible(button_at(a.target), false); break;
        case Op::Slot: page_of(rule.button).slots[a.target] = a.text; break;
        case Op::Trailer: page_of(rule.button).trailer = a.text; break;
        case Op::Text: screen_->setText(a.text); break;
        case Op::Picture: screen_->loadPicture(a.text); break;
        case Op::Frame: screen_->showFrame(a.text, kFrameHold); break;
        }
    }
}

void Story::render(const Page& page) { screen_->setText(compose(page)); }

}  // namespace suirei
