#pragma once

// A small LIKE matcher, as a database reads what the command writes: an SQL
// text literal between single quotes with its quotes doubled, then the LIKE
// pattern it holds with a chosen escape character (E followed by any
// character is that character; % is any run, _ any one character).
#include <string>
#include <vector>

namespace vxtest {

// The text of a literal that spans the whole of sql; false when sql is not
// exactly one literal.
inline bool bReadSQLLiteral(const std::wstring& sql, std::wstring* pText)
{
    if (sql.size() < 2 || sql.front() != L'\'' || sql.back() != L'\'')
        return false;
    pText->clear();
    for (size_t i = 1; i + 1 < sql.size(); ++i) {
        if (sql[i] == L'\'') {
            // Inside, a quote only comes doubled.
            if (i + 2 >= sql.size() || sql[i + 1] != L'\'')
                return false;
            ++i;
        }
        pText->push_back(sql[i]);
    }
    return true;
}

// Whether the whole value matches the pattern.
inline bool bLike(const std::wstring& value, const std::wstring& pattern, wchar_t cEscape)
{
    // Pattern elements: a literal character, any one (_) or any run (%).
    enum Kind { LITERAL, ONE, RUN };
    std::vector<std::pair<Kind, wchar_t>> elements;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] == cEscape && i + 1 < pattern.size())
            elements.push_back({LITERAL, pattern[++i]});
        else if (pattern[i] == L'%')
            elements.push_back({RUN, 0});
        else if (pattern[i] == L'_')
            elements.push_back({ONE, 0});
        else
            elements.push_back({LITERAL, pattern[i]});
    }
    // match[j]: the first i characters of the value match the first j
    // elements.
    std::vector<bool> match(elements.size() + 1, false);
    match[0] = true;
    for (size_t j = 0; j < elements.size() && elements[j].first == RUN; ++j)
        match[j + 1] = true;
    for (wchar_t c : value) {
        std::vector<bool> next(elements.size() + 1, false);
        for (size_t j = 0; j < elements.size(); ++j) {
            const auto& [kind, literal] = elements[j];
            if (kind == RUN)
                // c taken into the run, or the run empty after it.
                next[j + 1] = match[j + 1] || next[j];
            else
                next[j + 1] = match[j] && (kind == ONE || literal == c);
        }
        match.swap(next);
    }
    return match.back();
}

}  // namespace vxtest
