#include "import/text_decoding.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace import {

namespace {

const char *const kUtf8Bom = "\xEF\xBB\xBF";

struct EncodingName {
    Encoding encoding;
    const char *name;
};
const EncodingName kNames[] = {{Encoding::Automatic, "自动"},
                               {Encoding::Utf8, "UTF-8"},
                               {Encoding::Gb18030, "GBK"},
                               {Encoding::Utf16, "UTF-16"}};

int lineAt(std::string_view bytes, std::size_t offset)
{
    return 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + static_cast<long>(std::min(offset, bytes.size())), '\n'));
}

db::Result unreadable(std::string_view bytes, std::size_t offset, Encoding encoding)
{
    return db::Result::refused("第 " + std::to_string(lineAt(bytes, offset)) + " 行不是 " + encodingName(encoding) +
                               " 编码的文字：请换一种编码再读");
}

// Runs iconv over the whole text; false with the offset of the first byte it
// cannot convert.
bool convert(const char *from, std::string_view in, std::string &out, std::size_t &badOffset)
{
    iconv_t cd = iconv_open("UTF-8", from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        badOffset = 0;
        return false;
    }
    out.assign(in.size() * 2 + 16, '\0');
    char *inPtr = const_cast<char *>(in.data());
    std::size_t inLeft = in.size();
    char *outPtr = out.data();
    std::size_t outLeft = out.size();
    bool ok = true;
    while (inLeft > 0) {
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) != static_cast<std::size_t>(-1))
            continue;
        if (errno == E2BIG) {
            const std::size_t used = static_cast<std::size_t>(outPtr - out.data());
            out.resize(out.size() * 2);
            outPtr = out.data() + used;
            outLeft = out.size() - used;
            continue;
        }
        ok = false; // EILSEQ or EINVAL (a sequence cut off at the end)
        badOffset = in.size() - inLeft;
        break;
    }
    iconv_close(cd);
    out.resize(static_cast<std::size_t>(outPtr - out.data()));
    return ok;
}

} // namespace

const char *encodingName(Encoding encoding)
{
    for (const auto &entry : kNames)
        if (entry.encoding == encoding)
            return entry.name;
    return "";
}

Encoding encodingNamed(const std::string &name)
{
    for (const auto &entry : kNames)
        if (name == entry.name)
            return entry.encoding;
    return Encoding::Automatic;
}

bool isValidUtf8(std::string_view text, std::size_t *badOffset)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        int extra = 0;
        unsigned min = 0;
        if (c < 0x80) {
            ++i;
            continue;
        } else if ((c & 0xE0) == 0xC0) {
            extra = 1;
            min = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            extra = 2;
            min = 0x800;
        } else if ((c & 0xF8) == 0xF0) {
            extra = 3;
            min = 0x10000;
        } else {
            if (badOffset)
                *badOffset = i;
            return false;
        }
        unsigned value = c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) {
            if (i + static_cast<std::size_t>(k) >= text.size() ||
                (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80) {
                if (badOffset)
                    *badOffset = i;
                return false;
            }
            value = (value << 6) | (static_cast<unsigned char>(text[i + static_cast<std::size_t>(k)]) & 0x3F);
        }
        if (value < min || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
            if (badOffset)
                *badOffset = i;
            return false;
        }
        i += static_cast<std::size_t>(extra) + 1;
    }
    return true;
}

Encoding detectEncoding(std::string_view bytes)
{
    if (bytes.substr(0, 3) == kUtf8Bom)
        return Encoding::Utf8;
    if (bytes.size() >= 2 && ((bytes[0] == '\xFF' && bytes[1] == '\xFE') || (bytes[0] == '\xFE' && bytes[1] == '\xFF')))
        return Encoding::Utf16;
    return isValidUtf8(bytes) ? Encoding::Utf8 : Encoding::Gb18030;
}

db::Result decodeText(std::string_view bytes, Encoding encoding, std::string &utf8)
{
    if (encoding == Encoding::Automatic)
        encoding = detectEncoding(bytes);
    std::size_t bad = 0;
    switch (encoding) {
    case Encoding::Utf8:
    case Encoding::Automatic:
        if (bytes.substr(0, 3) == kUtf8Bom)
            bytes.remove_prefix(3);
        if (!isValidUtf8(bytes, &bad))
            return unreadable(bytes, bad, Encoding::Utf8);
        utf8.assign(bytes);
        return db::Result::ok();
    case Encoding::Gb18030:
        if (!convert("GB18030", bytes, utf8, bad))
            return unreadable(bytes, bad, encoding);
        return db::Result::ok();
    case Encoding::Utf16:
        // "UTF-16" reads the byte-order mark and drops it; without one it
        // takes big-endian, so a mark-less file is read as little-endian,
        // the way the spreadsheet programs write it.
        if (!convert(bytes.size() >= 2 && (bytes[0] == '\xFF' || bytes[0] == '\xFE') ? "UTF-16" : "UTF-16LE", bytes,
                     utf8, bad))
            return db::Result::refused("文件不是 UTF-16 编码的文字：请换一种编码再读");
        return db::Result::ok();
    }
    return db::Result::ok();
}

} // namespace import
