#include "resources/tools/message_file.h"

#include <cctype>
#include <fstream>

namespace {

void SkipBlanks(const std::string& line, size_t& pos)
{
    while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t'))
        ++pos;
}

bool bRestIsComment(const std::string& line, size_t pos)
{
    SkipBlanks(line, pos);
    return pos >= line.size() || line[pos] == '#';
}

bool bKnownKind(const std::string& kind)
{
    static const char* const kinds[] = {"s", "S", "hs", "d", "u", "x", "X", "lld", "llu", "p", "f"};
    for (const char* known : kinds)
        if (kind == known)
            return true;
    return false;
}

bool bParseArgs(const std::string& line, size_t& pos, std::vector<std::string>& args, std::string& error)
{
    if (pos >= line.size() || line[pos] != '(') {
        error = "expected '(' and the argument kinds";
        return false;
    }
    const size_t close = line.find(')', pos);
    if (close == std::string::npos) {
        error = "missing ')' after the argument kinds";
        return false;
    }
    std::string list = line.substr(pos + 1, close - pos - 1);
    pos = close + 1;
    std::string current;
    auto flush = [&](bool last) {
        size_t b = current.find_first_not_of(" \t");
        size_t e = current.find_last_not_of(" \t");
        std::string kind = b == std::string::npos ? "" : current.substr(b, e - b + 1);
        current.clear();
        if (kind.empty()) {
            if (last && args.empty())
                return true;  // "()": no argument
            error = "empty argument kind";
            return false;
        }
        if (!bKnownKind(kind)) {
            error = "unknown argument kind '" + kind + "'";
            return false;
        }
        args.push_back(kind);
        return true;
    };
    for (char c : list) {
        if (c == ',') {
            if (!flush(false))
                return false;
        } else {
            current += c;
        }
    }
    return flush(true);
}

}  // namespace

bool bParseQuoted(const std::string& line, size_t& pos, std::string& text, std::string& error)
{
    if (pos >= line.size() || line[pos] != '"') {
        error = "expected a quoted text";
        return false;
    }
    for (size_t i = pos + 1; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"') {
            pos = i + 1;
            return true;
        }
        if (c != '\\') {
            text += c;
            continue;
        }
        if (++i >= line.size())
            break;
        switch (line[i]) {
        case '\\': text += '\\'; break;
        case '"': text += '"'; break;
        case 'n': text += '\n'; break;
        case 'r': text += '\r'; break;
        case 't': text += '\t'; break;
        default:
            error = std::string("unknown escape \\") + line[i];
            return false;
        }
    }
    error = "missing closing quote";
    return false;
}

void ReadMessageFile(const std::string& path, std::vector<ResMessage>& out, std::vector<std::string>& errors)
{
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        errors.push_back(path + ": cannot be read");
        return;
    }
    std::string line;
    unsigned lineNo = 0;
    ResMessage* current = nullptr;
    while (std::getline(in, line)) {
        ++lineNo;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const std::string where = path + ":" + std::to_string(lineNo);
        size_t pos = 0;
        SkipBlanks(line, pos);
        if (pos >= line.size() || line[pos] == '#')
            continue;
        std::string error;
        if (line[pos] == '"') {
            // Continuation of the text above.
            if (current == nullptr || pos == 0) {
                errors.push_back(where + ": a continued text must be indented below its entry");
                continue;
            }
            std::string more;
            if (!bParseQuoted(line, pos, more, error) || !bRestIsComment(line, pos)) {
                errors.push_back(where + ": " + (error.empty() ? "unexpected text after the quote" : error));
                continue;
            }
            current->text += more;
            continue;
        }
        current = nullptr;
        if (pos != 0 || !std::isdigit(static_cast<unsigned char>(line[pos]))) {
            errors.push_back(where + ": expected a resource id at the start of the line");
            continue;
        }
        ResMessage msg;
        msg.where = where;
        uint64_t id = 0;
        while (pos < line.size() && std::isdigit(static_cast<unsigned char>(line[pos]))) {
            id = id * 10 + static_cast<unsigned>(line[pos] - '0');
            if (id > 0xFFFFFFFFu) {
                error = "resource id too large";
                break;
            }
            ++pos;
        }
        if (!error.empty()) {
            errors.push_back(where + ": " + error);
            continue;
        }
        msg.dwId = static_cast<uint32_t>(id);
        SkipBlanks(line, pos);
        if (line.compare(pos, 6, "usage=") == 0) {
            pos += 6;
            if (pos >= line.size() || line[pos] < '0' || line[pos] > '3' ||
                (pos + 1 < line.size() && std::isdigit(static_cast<unsigned char>(line[pos + 1])))) {
                errors.push_back(where + ": the usage class is 0, 1, 2 or 3");
                continue;
            }
            msg.nUsage = static_cast<unsigned>(line[pos] - '0');
            ++pos;
            SkipBlanks(line, pos);
        }
        if (!bParseArgs(line, pos, msg.args, error)) {
            errors.push_back(where + ": " + error);
            continue;
        }
        SkipBlanks(line, pos);
        if (!bParseQuoted(line, pos, msg.text, error)) {
            errors.push_back(where + ": " + error);
            continue;
        }
        if (!bRestIsComment(line, pos)) {
            errors.push_back(where + ": unexpected text after the quote");
            continue;
        }
        out.push_back(std::move(msg));
        current = &out.back();
    }
}
