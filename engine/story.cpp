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

void Story::click(Button b, Fired* fired) {
    using Routine = void (Story::*)(Fired*);
    static constexpr std::array<Routine, kButtonCount> kClick = {
        &Story::Command1_Click, &Story::Command2_Click, &Story::Command3_Click,  &Story::Command4_Click,
        &Story::Command5_Click, &Story::Command6_Click, &Story::Command7_Click,  &Story::Command8_Click,
        &Story::Command9_Click, &Story::Command10_Click, &Story::Command11_Click, &Story::Command12_Click,
    };
    (this->*kClick[static_cast<std::size_t>(index(b))])(fired);
}

// Talk: the other may answer from now on.
void Story::Command1_Click(Fired* fired) {
    screen_->setVisible(Button::Command2, true);
    walk(Button::Command1, fired);
}

// Other speaks.
void Story::Command2_Click(Fired* fired) { walk(Button::Command2, fired); }

// Move: it hides itself and asks where to.
void Story::Command3_Click(Fired* fired) {
    screen_->setVisible(Button::Command3, false);
    screen_->setText(kMovePrompt);
    walk(Button::Command3, fired);
}

void Story::Command4_Click(Fired* fired) { arrive(Button::Command4, fired); }
void Story::Command5_Click(Fired* fired) { arrive(Button::Command5, fired); }
void Story::Command6_Click(Fired* fired) { arrive(Button::Command6, fired); }
void Story::Command7_Click(Fired* fired) { arrive(Button::Command7, fired); }
void Story::Command8_Click(Fired* fired) { arrive(Button::Command8, fired); }

// Read on.
void Story::Command9_Click(Fired* fired) { walk(Button::Command9, fired); }

void Story::Command10_Click(Fired* fired) { answer(Button::Command10, fired); }
void Story::Command11_Click(Fired* fired) { answer(Button::Command11, fired); }

// Quit: the program ends at once.
void Story::Command12_Click(Fired*) { screen_->quit(); }

// At a place the prince may talk; the places and Other speaks hide, and the
// page empties.
void Story::arrive(Button place, Fired* fired) {
    using enum Button;
    screen_->setVisible(Command1, true);
    for (Button hidden : {Command2, Command3, Command4, Command5, Command6, Command7, Command8})
        screen_->setVisible(hidden, false);
    screen_->setText("");
    walk(place, fired);
}

// An answer puts the choice away and offers Move.
void Story::answer(Button choice, Fired* fired) {
    screen_->setVisible(Button::Command3, true);
    screen_->setVisible(Button::Command10, false);
    screen_->setVisible(Button::Command11, false);
    walk(choice, fired);
}

void Story::walk(Button b, Fired* fired) {
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
