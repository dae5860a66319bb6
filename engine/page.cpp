#include "page.hpp"

namespace suirei {

std::string compose(const Page& page) {
    std::string out;
    std::size_t size = page.trailer.size() + 10 * kLineBreak.size();
    for (std::string_view s : page.slots) size += s.size();
    out.reserve(size);

    // Each slot with the blank line after it, then the trailer.
    for (std::string_view s : page.slots) out.append(s).append(kLineBreak).append(kLineBreak);
    out += page.trailer;
    return out;
}

std::string spoken(std::string_view text) {
    std::string out;
    while (!text.empty()) {
        const std::size_t end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        if (!line.empty()) out.append(out.empty() ? "" : "\n").append(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return out;
}

}  // namespace suirei
