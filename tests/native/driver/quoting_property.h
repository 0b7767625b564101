#pragma once

// What identifier quoting must guarantee, checked from outside: a small
// lexer of quoted identifiers, as the server reads them (the opening quote,
// a body in which the closing quote is written twice, the closing quote),
// and the property that the quoting test and its fuzz target both check on
// every name they try.
//
// The lexer is written apart from the code under test, on std::wstring, so
// that it cannot share a fault with it.
#include <optional>
#include <string>
#include <vector>

#include "common/text/ct_string.h"
#include "native/driver/identifier_quoting.h"

namespace vxtest {

// One quoted identifier at pos: its body, pos moved past its closing quote;
// nothing (pos unchanged) when none starts there or it never closes.
inline std::optional<std::wstring> ReadQuoted(const std::wstring& text, size_t& pos, const std::wstring& open,
                                              const std::wstring& close)
{
    if (open.empty() || close.empty() || text.compare(pos, open.size(), open) != 0)
        return std::nullopt;
    std::wstring body;
    for (size_t i = pos + open.size(); i < text.size();) {
        if (text.compare(i, close.size(), close) != 0) {
            body += text[i++];
            continue;
        }
        if (text.compare(i + close.size(), close.size(), close) == 0) {
            body += close;
            i += 2 * close.size();
            continue;
        }
        pos = i + close.size();
        return body;
    }
    return std::nullopt;
}

// The text as exactly one quoted identifier (possibly empty).
inline std::optional<std::wstring> LexIdentifier(const std::wstring& text, const std::wstring& open,
                                                 const std::wstring& close)
{
    size_t pos = 0;
    std::optional<std::wstring> body = ReadQuoted(text, pos, open, close);
    return body && pos == text.size() ? body : std::nullopt;
}

// The text as a "."-separated list of quoted identifiers.
inline std::optional<std::vector<std::wstring>> LexIdentifierList(const std::wstring& text, const std::wstring& open,
                                                                  const std::wstring& close)
{
    std::vector<std::wstring> list;
    size_t pos = 0;
    for (;;) {
        std::optional<std::wstring> body = ReadQuoted(text, pos, open, close);
        if (!body)
            return std::nullopt;
        list.push_back(*body);
        if (pos == text.size())
            return list;
        if (text[pos] != L'.')
            return std::nullopt;
        ++pos;
    }
}

// Whether the name was already a quoted identifier that is passed through:
// one identifier with a non-empty body.
inline bool bAlreadyQuoted(const std::wstring& name, const std::wstring& open, const std::wstring& close)
{
    std::optional<std::wstring> body = LexIdentifier(name, open, close);
    return body && !body->empty();
}

// The identifier a name stands for once formatted.
inline std::wstring Meant(const std::wstring& name, const std::wstring& open, const std::wstring& close)
{
    return bAlreadyQuoted(name, open, close) ? *LexIdentifier(name, open, close) : name;
}

// The parts of a table name: a part that starts with a quoted identifier
// runs to the first "." after its closing quote, any other to the next ".".
inline std::vector<std::wstring> TableParts(const std::wstring& name, const std::wstring& open,
                                            const std::wstring& close)
{
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (;;) {
        size_t end = start;
        ReadQuoted(name, end, open, close);
        end = name.find(L'.', end);
        parts.push_back(name.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start));
        if (end == std::wstring::npos)
            return parts;
        start = end + 1;
    }
}

// The property for one name under quotes that are both set (kind other than
// 1): an empty text when it holds, else what broke.
//  - the formatted name is exactly one identifier: the name itself, or the
//    name unchanged when it already was a quoted identifier;
//  - unformatting the output gives that identifier back (the empty name,
//    written as the two quotes alone, excepted);
//  - the formatted table name is a "."-separated list of identifiers, one
//    per part of the name, each standing for that part.
inline std::string QuotingPropertyBreak(const CNAIdentifierQuoting& quoting, const std::wstring& open,
                                        const std::wstring& close, const std::wstring& name)
{
    CTString out;
    quoting.FormatItemName(name.c_str(), &out);
    const std::wstring item = out.pszGet();
    const std::optional<std::wstring> body = LexIdentifier(item, open, close);
    if (!body)
        return "the formatted name is not one identifier";
    if (bAlreadyQuoted(name, open, close) ? item != name : *body != name)
        return "the formatted name stands for another identifier";
    if (!name.empty()) {
        CTString back;
        quoting.UnFormatItemName(item.c_str(), &back);
        if (*body != back.pszGet())
            return "unformatting does not give the identifier back";
    }

    quoting.FormatTableName(name.c_str(), &out);
    const std::optional<std::vector<std::wstring>> list = LexIdentifierList(out.pszGet(), open, close);
    if (!list)
        return "the formatted table name is not a list of identifiers";
    const std::vector<std::wstring> parts = TableParts(name, open, close);
    if (list->size() != parts.size())
        return "the formatted table name has another number of parts";
    for (size_t i = 0; i < parts.size(); ++i)
        if ((*list)[i] != Meant(parts[i], open, close))
            return "a part of the table name stands for another identifier";
    return {};
}

}  // namespace vxtest
