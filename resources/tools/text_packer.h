#pragma once

#include <string>
#include <vector>

// Packs a text's bytes into the digit stream that CDataCompressor unpacks
// (see common/system/data_compressor.h), with the unpacker's own character
// sets. A byte of the active set costs one digit; a byte of another set one
// more for a shift, or a switch of the active set when several such bytes
// follow; bytes of no set travel raw behind an escape (one byte, or a count
// and up to 255 bytes). Digits go three to a pair of bytes; a lone last digit
// takes one byte. At best three bytes of text take two packed bytes, so the
// unpacked length never exceeds 1.5 times the packed length: the reader's
// scratch buffer of 1.5 times the packed length plus 2 always holds a text.
std::vector<unsigned char> PackText(const std::string& bytes);
