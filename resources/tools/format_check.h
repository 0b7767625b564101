#pragma once

#include <string>
#include <vector>

// Checks a resource text as a printf format in the Windows convention ("%s"
// a wide text, "%S" or "%hs" an 8-bit one) against the argument kinds its
// callers pass. Only plain conversions are accepted: %s, %S, %hs, %d, %u, %x,
// %X, %lld, %llu, %p, %f and %%; numbers may carry '0' or '-' flags, a width
// and a precision, texts nothing (the conversion to the platform's format
// rewrites only a bare 's'). Returns an empty text when the format fits,
// else what is wrong.
std::string sCheckFormat(const std::string& text, const std::vector<std::string>& args);

// The conversions of a format, in order, as argument kinds ("hs" for both
// narrow forms, "x" for both hexadecimal ones); empty with `error` set when
// the format holds something not accepted.
std::vector<std::string> ListConversions(const std::string& text, std::string& error);

// Checks that a text is well-formed UTF-8 without NUL and without control
// characters other than tab, line feed and carriage return.
std::string sCheckText(const std::string& text);
