// A screen that lives in memory: what the play driver, the story checker, the
// page in the browser and the tests run the engine against. It reads no
// files; it remembers the name of the last picture, every picture loaded and
// the frames of the strike, for a front end to play.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "screen.hpp"

namespace suirei {

class MemoryScreen final : public Screen {
public:
    void setVisible(Button b, bool visible) override { visible_[static_cast<std::size_t>(index(b))] = visible; }
    bool isVisible(Button b) const override { return visible_[static_cast<std::size_t>(index(b))]; }
    void setText(std::string_view text) override { text_.assign(text); }
    std::string_view text() const override { return text_; }
    void loadPicture(std::string_view file) override {
        picture_ = std::string(file);
        loads_.emplace_back(file);
    }
    void showFrame(std::string_view file, std::chrono::milliseconds hold) override {
        loadPicture(file);
        frames_.push_back(snapshot(*this, file, hold));
    }
    void enterProgramFolder() override {}
    void quit() override { ended_ = true; }

    const std::optional<std::string>& picture() const { return picture_; }
    bool ended() const { return ended_; }

    // Pictures loaded since the last call, in order.
    std::vector<std::string> takeLoads() { return std::exchange(loads_, {}); }

    // Frames of the strike queued since the last call, in order.
    std::vector<HeldFrame> takeFrames() { return std::exchange(frames_, {}); }

    // As the window is created: only Quit visible, T1 and P1 empty.
    std::array<bool, kButtonCount> visibility() const { return visible_; }
    void setVisibility(const std::array<bool, kButtonCount>& v) { visible_ = v; }
    void setPicture(std::optional<std::string> p) { picture_ = std::move(p); }

private:
    std::array<bool, kButtonCount> visible_ = {false, false, false, false, false, false,
                                               false, false, false, false, false, true};
    std::string text_;
    std::optional<std::string> picture_;
    std::vector<std::string> loads_;
    std::vector<HeldFrame> frames_;
    bool ended_ = false;
};

}  // namespace suirei
