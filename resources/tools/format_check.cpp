#include "resources/tools/format_check.h"

#include <cctype>
#include <cstdint>

namespace {

std::string sCanonical(const std::string& kind)
{
    if (kind == "S")
        return "hs";
    if (kind == "X")
        return "x";
    return kind;
}

std::string sJoin(const std::vector<std::string>& kinds)
{
    std::string out = "(";
    for (size_t i = 0; i < kinds.size(); ++i)
        out += (i ? ", " : "") + kinds[i];
    return out + ")";
}

}  // namespace

std::vector<std::string> ListConversions(const std::string& text, std::string& error)
{
    std::vector<std::string> kinds;
    error.clear();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%')
            continue;
        const size_t start = i++;
        if (i >= text.size()) {
            error = "a lone '%' ends the text";
            return {};
        }
        if (text[i] == '%')
            continue;
        bool decorated = false;
        while (i < text.size() && (text[i] == '0' || text[i] == '-')) {
            decorated = true;
            ++i;
        }
        while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
            decorated = true;
            ++i;
        }
        if (i < text.size() && text[i] == '.') {
            decorated = true;
            ++i;
            while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
                ++i;
        }
        std::string kind;
        if (text.compare(i, 3, "lld") == 0 || text.compare(i, 3, "llu") == 0) {
            kind = text.substr(i, 3);
            i += 2;
        } else if (text.compare(i, 2, "hs") == 0) {
            kind = "hs";
            i += 1;
        } else if (i < text.size() && std::string("sSduxXpf").find(text[i]) != std::string::npos) {
            kind = sCanonical(std::string(1, text[i]));
        } else {
            const std::string seen = text.substr(start, i + 1 - start);
            error = "conversion '" + seen + "' is not accepted";
            return {};
        }
        if (decorated && (kind == "s" || kind == "hs" || kind == "p")) {
            error = "no flag, width or precision may stand before a text or pointer conversion ('" +
                    text.substr(start, i + 1 - start) + "')";
            return {};
        }
        kinds.push_back(kind);
    }
    return kinds;
}

std::string sCheckFormat(const std::string& text, const std::vector<std::string>& args)
{
    std::string error;
    const std::vector<std::string> kinds = ListConversions(text, error);
    if (!error.empty())
        return error;
    std::vector<std::string> declared;
    for (const std::string& arg : args)
        declared.push_back(sCanonical(arg));
    if (kinds != declared)
        return "the conversions " + sJoin(kinds) + " do not match the declared arguments " + sJoin(declared);
    return "";
}

std::string sCheckText(const std::string& text)
{
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c == 0 || (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0x7F)
                return "control character " + std::to_string(c) + " in the text";
            ++i;
            continue;
        }
        int more;
        uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            cp = c & 0x07;
        } else {
            return "malformed UTF-8 at byte " + std::to_string(i);
        }
        if (i + more >= text.size())
            return "truncated UTF-8 sequence at byte " + std::to_string(i);
        for (int k = 1; k <= more; ++k) {
            const unsigned char t = static_cast<unsigned char>(text[i + k]);
            if ((t & 0xC0) != 0x80)
                return "malformed UTF-8 at byte " + std::to_string(i);
            cp = (cp << 6) | (t & 0x3F);
        }
        if ((more == 2 && cp < 0x800) || (more == 3 && (cp < 0x10000 || cp > 0x10FFFF)) ||
            (cp >= 0xD800 && cp <= 0xDFFF))
            return "malformed UTF-8 at byte " + std::to_string(i);
        i += more + 1;
    }
    return "";
}
