#pragma once

// Reads a demo box reply the way the client's reader does: the body becomes text by its first
// tag (UTF-8 when that tag says "UTF-8", otherwise one character per byte), and every text whose
// element carries an encoding attribute is re-decoded from the low 8 bits of its characters.
// Uses iconv, not the box's own code, so the two are checked against each other.

#include <cctype>
#include <iconv.h>
#include <pugixml.hpp>
#include <string>

namespace boxxml {

inline std::string utf8FromCodePoint(char32_t c)
{
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// Low 8 bits of every character of a UTF-8 text; false on a broken sequence.
inline bool lowBytes(const std::string& utf8, std::string* out)
{
    out->clear();
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        char32_t c = 0;
        int extra = 0;
        if (b < 0x80) {
            c = b;
        } else if ((b & 0xE0) == 0xC0) {
            c = b & 0x1F;
            extra = 1;
        } else if ((b & 0xF0) == 0xE0) {
            c = b & 0x0F;
            extra = 2;
        } else if ((b & 0xF8) == 0xF0) {
            c = b & 0x07;
            extra = 3;
        } else {
            return false;
        }
        if (i + std::size_t(extra) >= utf8.size())
            return false;
        for (int k = 1; k <= extra; ++k)
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + std::size_t(k)]) & 0x3F);
        *out += static_cast<char>(c & 0xFF);
        i += std::size_t(extra) + 1;
    }
    return true;
}

inline std::string iconvToUtf8(const std::string& bytes, const char* encoding)
{
    iconv_t cd = iconv_open("UTF-8", encoding);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string in = bytes;
    std::string out(in.size() * 4 + 4, '\0');
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    const std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(cd);
    if (rc == static_cast<std::size_t>(-1))
        return {};
    out.resize(out.size() - outLeft);
    return out;
}

inline std::string bodyToText(const std::string& body)
{
    const auto gt = body.find('>');
    if (gt != std::string::npos && body.substr(0, gt + 1).find("UTF-8") != std::string::npos)
        return body;
    std::string text;
    for (char c : body)
        text += utf8FromCodePoint(static_cast<unsigned char>(c));
    return text;
}

// Loads a reply as the client does; false when the text is not well-formed.
inline bool load(const std::string& body, pugi::xml_document* doc)
{
    const std::string text = bodyToText(body);
    if (!doc->load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8))
        return false;
    for (const auto& x : doc->select_nodes("//@encoding")) {
        const std::string name = x.attribute().value();
        pugi::xml_node textNode = x.parent().first_child();
        if (textNode.type() != pugi::node_pcdata)
            continue;
        std::string bytes;
        if (!lowBytes(textNode.value(), &bytes))
            return false;
        std::string upper;
        for (char c : name)
            upper += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (upper == "ISO-8859-5" || upper == "ISO-8859-9")
            textNode.set_value(iconvToUtf8(bytes, upper.c_str()).c_str());
    }
    return true;
}

} // namespace boxxml
