#pragma once

#include <cstdint>
#include <string>
#include <vector>

// One resource text as written in a message file (*.msg):
//
//   <id> [usage=<0-3>] (<argument kinds>) "<text>"
//       "<more text>"
//
// The argument kinds, separated by commas, name the printf arguments that
// every caller passes, in order: s (wide text), S or hs (8-bit text), d, u,
// x or X (32-bit), lld, llu (64-bit), p, f. The text is UTF-8 between double
// quotes with the escapes \\ \" \n \r \t; a line that starts with a quoted
// text continues the text above. '#' starts a comment outside quotes.
struct ResMessage
{
    uint32_t dwId = 0;
    unsigned nUsage = 0;
    std::vector<std::string> args;
    std::string text;   // UTF-8
    std::string where;  // file:line of the entry
};

// Reads one message file; appends its entries to `out` and its faults to
// `errors` (each "file:line: message").
void ReadMessageFile(const std::string& path, std::vector<ResMessage>& out, std::vector<std::string>& errors);

// Parses the quoted text that starts at `pos` of `line` (at the opening
// quote); on success `pos` is left behind the closing quote.
bool bParseQuoted(const std::string& line, size_t& pos, std::string& text, std::string& error);
