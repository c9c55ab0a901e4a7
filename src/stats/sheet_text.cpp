#include "stats/sheet_text.h"

namespace stats {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

// The length of the well-formed sequence starting at text[at] and the code
// point it encodes; 0 when the bytes there are not one.
std::size_t sequenceAt(std::string_view text, std::size_t at, char32_t &point)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    if (lead < 0x80) {
        point = lead;
        return 1;
    }
    std::size_t length = 0;
    char32_t min = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        point = lead & 0x1F;
        min = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        point = lead & 0x0F;
        min = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        point = lead & 0x07;
        min = 0x10000;
    } else {
        return 0;
    }
    if (at + length > text.size())
        return 0;
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char next = byte(at + i);
        if ((next & 0xC0) != 0x80)
            return 0;
        point = (point << 6) | (next & 0x3F);
    }
    if (point < min || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        return 0;
    return length;
}

} // namespace

std::string repairedUtf8(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        char32_t point = 0;
        const std::size_t length = sequenceAt(text, at, point);
        if (length == 0) {
            out += kReplacement;
            ++at;
            continue;
        }
        if (point == 0 || point == 0xFFFE || point == 0xFFFF)
            out += kReplacement;
        else
            out.append(text.substr(at, length));
        at += length;
    }
    return out;
}

} // namespace stats
