// The host's parameter values written into an SQL text by a MySQL execution
// statement, on a UTF-8 and a code-page-1252 connection: texts of any
// characters the code page holds (quotes, backslashes, control characters),
// binary values of any bytes, integers and NULLs, at placeholders of any
// start and length (negative, past the text, overlapping, out of order). The
// text is a heap block of exactly its characters and terminator, so a read
// outside it shows under AddressSanitizer. A placeholder outside the text
// sends nothing and says which; otherwise exactly one text is sent, and
// where the placeholders follow each other the sent text is the SQL text's
// pieces with a literal between them that reads back to its value.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "common/text/utf8_convert.h"
#include "fuzz/fuzz_mysql_fake.h"
#include "native/driver/wide_text_value.h"
#include "tests/host/db/standin_tab_val_parser.h"

namespace {

using vxfuzz::Check;
using vxfuzz::Input;
using vxfuzz::MySQLOverFake;

// A character from a byte: ASCII, Latin-1 letters (the same in 1252), and on
// a UTF-8 connection characters of three and four bytes besides.
wchar_t Char(uint8_t b, bool bUtf8)
{
    if (b < 0x80)
        return static_cast<wchar_t>(b);
    if (!bUtf8 || b < 0xE0)
        return static_cast<wchar_t>(0xA0 + (b & 0x5F));
    return b < 0xF0 ? static_cast<wchar_t>(0x4E00 + b) : static_cast<wchar_t>(0x1F600 + (b & 0x0F));
}

// The text's bytes in the connection's code page (the characters chosen are
// all in 1252 on a 1252 connection, where they keep their value).
std::string Encode(const std::wstring& s, bool bUtf8)
{
    std::string out;
    for (const wchar_t wc : s) {
        const auto c = static_cast<uint32_t>(wc);
        if (!bUtf8) {
            out += static_cast<char>(c);
            continue;
        }
        char acBytes[5];
        out.append(acBytes, static_cast<size_t>(UTF32ToUTF8(c, acBytes)));
    }
    return out;
}

struct stParameter
{
    enum Kind
    {
        kText,
        kBinary,
        kInteger,
        kNull
    } eKind;
    std::wstring text;
    std::string bytes;
    int64_t nInteger = 0;
    int nStart = 0;
    int nLength = 0;
};

// The literal at sent[at], read back: NULL or a quoted text with the
// escapes the client library writes; its end in *pnEnd. (A number has no
// end of its own when digits follow it in the text: it is compared as it
// must be written.)
std::optional<std::string> ReadLiteral(const std::string& sent, size_t at, size_t* pnEnd, bool* pbNull)
{
    *pbNull = false;
    if (sent.compare(at, 4, "NULL") == 0) {
        *pbNull = true;
        *pnEnd = at + 4;
        return std::string();
    }
    if (at >= sent.size() || sent[at] != '\'')
        return std::nullopt;
    std::string value;
    for (size_t i = at + 1; i < sent.size(); ++i) {
        const char c = sent[i];
        if (c == '\'') {
            *pnEnd = i + 1;
            return value;
        }
        if (c != '\\') {
            value += c;
            continue;
        }
        if (++i >= sent.size())
            return std::nullopt;
        const char e = sent[i];
        value += e == '0' ? '\0' : e == 'n' ? '\n' : e == 'r' ? '\r' : e == 'Z' ? '\x1a' : e;
    }
    return std::nullopt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    MySQLOverFake& fake = MySQLOverFake::Get();
    Input in(data, size);
    const uint8_t control = in.Byte();
    const bool bUtf8 = (control & 1) != 0;
    CMySQLConnection* pclConnection = fake.Connection(3, bUtf8);

    std::wstring sText;
    for (const uint8_t b : in.Bytes(in.Byte() % 64))
        sText += Char(b == 0 ? ' ' : b, bUtf8);
    const int nText = static_cast<int>(sText.size());

    std::vector<stParameter> parameters(in.Byte() % 6);
    for (stParameter& p : parameters) {
        const uint8_t kind = in.Byte();
        p.eKind = static_cast<stParameter::Kind>(kind % 4);
        const size_t n = in.Byte() % 24;
        if (p.eKind == stParameter::kText) {
            // A text ends at its first NUL.
            for (const uint8_t b : in.Bytes(n))
                p.text += Char(b == 0 ? '\\' : b, bUtf8);
        } else if (p.eKind == stParameter::kBinary) {
            p.bytes = in.Bytes(n);
        } else if (p.eKind == stParameter::kInteger) {
            for (int i = 0; i < 8; ++i)
                p.nInteger = static_cast<int64_t>(static_cast<uint64_t>(p.nInteger) << 8 | in.Byte());
        }
        const uint8_t place = in.Byte();
        if (place < 16) {
            p.nStart = static_cast<int32_t>(in.Word() << 16 | in.Word());
            p.nLength = static_cast<int32_t>(in.Word() << 16 | in.Word());
        } else {
            p.nStart = in.Byte() % (nText + 3) - 1;
            p.nLength = in.Byte() % 6 - 1;
        }
    }

    StandinTabValParser table;
    bool bOutside = false;
    for (const stParameter& p : parameters) {
        CAny value;
        switch (p.eKind) {
        case stParameter::kText: Check(NA_bSetWideText(&value, ZLTYPE_DSTRW, p.text.c_str()) == 1); break;
        case stParameter::kBinary:
            value.SetBIN(reinterpret_cast<const unsigned char*>(p.bytes.data()), p.bytes.size());
            break;
        case stParameter::kInteger: {
            const std::wstring digits = std::to_wstring(p.nInteger);
            Check(NA_bSetWideText(&value, ZLTYPE_DSTRW, digits.c_str()) == 1);
            Check(value.__nCastTo(ZLTYPE_I8, nullptr, 1) <= 99);
            break;
        }
        case stParameter::kNull:
            value.__SetType(ZLTYPE_DSTRW, 0);
            value.SetNull();
            break;
        }
        table.Add(value, p.nStart, p.nLength);
        if (p.nStart < 0 || p.nLength < 0 || static_cast<int64_t>(p.nStart) + p.nLength > nText)
            bOutside = true;
    }

    std::vector<wchar_t> block(sText.begin(), sText.end());
    block.push_back(0);
    block.shrink_to_fit();
    CNAError* pclError = fake.Error();
    pclError->Reset();
    auto* pclStatement = new CMySQLStatementSQL(pclConnection, pclError);
    REF_AddRef(pclStatement);
    const size_t nSentBefore = fake.State().queries.size();
    const int bDone = pclStatement->bExecuteDirect(block.data(), table.pstGet(), 0);
    pclStatement->nRelease();
    const size_t nSent = fake.State().queries.size() - nSentBefore;
    if (bOutside) {
        Check(bDone == 0 && nSent == 0 && pclError->dwGetErrorId() == 80);
    } else if (!bDone) {
        Check(nSent == 0 && pclError->dwGetErrorId() != 0);
    } else {
        Check(nSent == 1);
        const std::string sent = fake.State().queries.back();
        bool bInOrder = true;
        for (size_t i = 1; i < parameters.size(); ++i)
            bInOrder = bInOrder && parameters[i].nStart >= parameters[i - 1].nStart + parameters[i - 1].nLength;
        if (bInOrder) {
            size_t at = 0;
            int nLast = 0;
            for (const stParameter& p : parameters) {
                const std::string piece = Encode(sText.substr(nLast, p.nStart - nLast), bUtf8);
                Check(sent.compare(at, piece.size(), piece) == 0);
                at += piece.size();
                if (p.eKind == stParameter::kInteger) {
                    const std::string digits = std::to_string(p.nInteger);
                    Check(sent.compare(at, digits.size(), digits) == 0);
                    at += digits.size();
                } else {
                    size_t nEnd = 0;
                    bool bNull = false;
                    const std::optional<std::string> literal = ReadLiteral(sent, at, &nEnd, &bNull);
                    Check(literal.has_value());
                    if (p.eKind == stParameter::kText)
                        Check(!bNull && *literal == Encode(p.text, bUtf8));
                    else if (p.eKind == stParameter::kBinary)
                        Check(!bNull && *literal == p.bytes);
                    else
                        Check(bNull);
                    at = nEnd;
                }
                nLast = p.nStart + p.nLength;
            }
            Check(sent.substr(at) == Encode(sText.substr(nLast), bUtf8));
        }
    }
    fake.State().queries.clear();
    pclError->Reset();
    return 0;
}
