// Just enough JSON writing for the tools: strings escaped, UTF-8 kept as is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace suirei::json {

// Length of the well-formed UTF-8 sequence at the start of s, or 0 when it
// does not start with one (a stray continuation byte, an overlong form, a
// surrogate, a code point past U+10FFFF, or a sequence cut short).
constexpr std::size_t utf8_sequence(std::string_view s) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead == 0xE0) length = 3, low = 0xA0;
    else if (lead == 0xED) length = 3, high = 0x9F;
    else if (lead >= 0xE1 && lead <= 0xEF) length = 3;
    else if (lead == 0xF0) length = 4, low = 0x90;
    else if (lead == 0xF4) length = 4, high = 0x8F;
    else if (lead >= 0xF1 && lead <= 0xF3) length = 4;
    else return 0;
    if (s.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    return length;
}

// A JSON string literal for s. Bytes that are not UTF-8 (say, a line typed in
// another encoding) become U+FFFD, one for each stray byte, so the output stays
// valid JSON whatever it echoes.
inline std::string quote(std::string_view s) {
    static constexpr char kHex[] = "0123456789abcdef";
    std::string out;
    out.reserve(s.size() + 2);
    out += '"';
    for (std::size_t i = 0; i < s.size();) {
        const auto u = static_cast<unsigned char>(s[i]);
        if (u >= 0x80) {
            const std::size_t n = utf8_sequence(s.substr(i));
            out += n ? s.substr(i, n) : std::string_view("\xEF\xBF\xBD");
            i += n ? n : 1;
            continue;
        }
        switch (u) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\r': out += "\\r"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default:
            if (u < 0x20 || u == 0x7F) out += {'\\', 'u', '0', '0', kHex[u >> 4], kHex[u & 0xF]};
            else out += static_cast<char>(u);
        }
        ++i;
    }
    out += '"';
    return out;
}

}  // namespace suirei::json
