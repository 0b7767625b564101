// A stand-in parse decoded from the input (a query text with positions
// anywhere in it or outside, FROM tables, joins, output items that may be
// calculated aliases referring to each other, WHERE and HAVING trees of
// known operator codes, ORDER BY and GROUP BY starts) written into a
// command, with or without a condition to join, in every mode: the writing
// ends (an alias met again in its own expansion fails instead of recursing),
// the parameters' positions never decrease and lie within the command's
// text, and the text copied from the query comes in its original order.
//
// To see the order, most characters of the query text are unique (one
// ideograph per position) while names, quotes and keywords the command
// writes are ASCII: the ideographs of the written text must be a strictly
// increasing run of the query's. The expressions of calculated aliases
// have no positions (an expansion writes names and values only), so that
// repeating an alias repeats no text.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "fuzz/fuzz_standin.h"
#include "native/driver/wide_text_value.h"
#include "native/sql/command.h"
#include "native/sql/sql_parser_info.h"
#include "tests/fakes/test_connection.h"
#include "tests/fakes/test_driver.h"
#include "tests/host/db/standin_connection_description.h"
#include "tests/host/db/standin_parsed_query.h"

namespace {

using vxfuzz::Input;
using vxstandin::ExpressionSpec;

constexpr wchar_t kFirstUnique = 0x4E00;

void Check(bool ok)
{
    if (!ok)
        std::abort();
}

// Not 43: on kind 1 its rewriting repeats its arguments, which the order
// check below would take for a piece copied twice.
const int kOperators[] = {OPEXP_ITEM, OPEXP_LITERAL, 9, 10, 11, 12, 13, 14, 1, 2, 3, 7, 32, 42, 45, 52, 53,
                          73, 88, 92, 94, 98, 99, 102, 75, 76, 80, 89, OPEXP_ITEM, OPEXP_LITERAL, 9};
const wchar_t* const kNames[] = {L"X", L"Y", L"Z", L"A", L"B"};
const wchar_t* const kAscii[] = {L" ", L"(", L")", L",", L"*", L"utf8", L"ORDER BY ", L"order by ", L"'"};

struct Decoder
{
    Input in;
    long nLength = 0;
    int nNodes = 0;

    // A position in the text, now and then none or outside it.
    long Position()
    {
        const uint8_t b = in.Byte();
        if (b == 255)
            return -1;
        if (b == 254)
            return nLength + 3;
        return nLength > 0 ? static_cast<long>(b) % (nLength + 1) : 0;
    }
    SQLPosition Span(bool bPositioned)
    {
        if (!bPositioned)
            return {-1, -1};
        const long nStart = Position();
        return {nStart, nStart + static_cast<long>(in.Byte() % 8) - 1};
    }
    std::shared_ptr<CAny> Value()
    {
        auto value = std::make_shared<CAny>();
        switch (in.Byte() % 4) {
        case 0:
            value->SetI4(static_cast<int>(in.Word()) - 100);
            break;
        case 1:
            NA_bSetWideText(value.get(), 16, (in.Byte() & 1) ? L"2024" : L"");
            break;
        case 2:
            NA_bSetWideText(value.get(), 16, L"x%");
            value->SetNull(in.Byte() & 1);
            break;
        default:
            break;   // empty
        }
        return value;
    }
    ExpressionSpec Tree(int nDepth, bool bPositioned)
    {
        ExpressionSpec node;
        ++nNodes;
        int eOperator = kOperators[in.Byte() % (sizeof kOperators / sizeof kOperators[0])];
        if (nDepth >= 5 || nNodes > 40)
            eOperator = (in.Byte() & 1) ? OPEXP_ITEM : OPEXP_LITERAL;
        node.eOperator = eOperator;
        node.position = Span(bPositioned);
        if (eOperator == OPEXP_ITEM) {
            node.item = kNames[in.Byte() % 5];
            node.table = (in.Byte() & 3) == 0 ? L"T" : L"";
            node.bOuterJoin = (in.Byte() & 7) == 0;
        } else if (eOperator == OPEXP_LITERAL) {
            node.value = Value();
        } else {
            node.wEscape = L'!';
            const int nOperands = 1 + in.Byte() % 3;
            for (int i = 0; i < nOperands; ++i)
                node.operands.push_back(Tree(nDepth + 1, bPositioned));
        }
        return node;
    }
};

std::wstring Text(Input& in, long nLength)
{
    std::wstring text;
    while (static_cast<long>(text.size()) < nLength) {
        const uint8_t b = in.Byte();
        if (b < 200)
            text.push_back(static_cast<wchar_t>(kFirstUnique + text.size()));
        else
            text += kAscii[b % (sizeof kAscii / sizeof kAscii[0])];
    }
    // ASCII pieces may carry it past the length: unique characters keep
    // their own index as their value, whatever the cut.
    text.resize(static_cast<size_t>(nLength));
    return text;
}

struct Host
{
    Host()
    {
        vxfuzz::StartHost();
        StartTestDriverModule();
        piDriver = piQueryInterface(0);
        Check(piDriver != nullptr);
        pclDriver = static_cast<CNADriver*>(piDriver);
        pclError = pclDriver->pclGetError();
        pclConnection = new CTestConnection(L"FUZZ", &hostConnection);
        REF_AddRef(pclConnection);
        pclConnection->SetRuntimeCodePage(1252);
    }
    CTestDriverRegistration registration;
    StandinConnectionDescription hostConnection;
    INADriver* piDriver = nullptr;
    CNADriver* pclDriver = nullptr;
    CNAError* pclError = nullptr;
    CTestConnection* pclConnection = nullptr;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static Host host;
    Decoder d{Input(data, size)};
    const uint8_t control = d.in.Byte();
    const uint8_t options = d.in.Byte();
    d.nLength = d.in.Byte() % 120;
    const std::wstring text = Text(d.in, d.nLength);

    vxstandin::ParsedQuerySpec spec;
    spec.text = text;
    spec.eType = 1 + control % 4;
    for (int i = d.in.Byte() % 4; i > 0; --i)
        spec.from.push_back({.name = (i & 1) ? L"T" : L"U", .alias = (i & 2) ? L"V" : L"", .position = d.Span(true)});
    for (int i = d.in.Byte() % 3; i > 0; --i)
        spec.joins.push_back({.position = d.Span(true), .condition = d.Tree(0, true)});
    for (int i = d.in.Byte() % 5; i > 0; --i) {
        const bool bCalculated = d.in.Byte() & 1;
        vxstandin::ItemSpec item{.alias = kNames[d.in.Byte() % 3], .item = kNames[3 + d.in.Byte() % 2], .table = L"T"};
        item.position = (d.in.Byte() & 3) ? d.Span(true) : SQLPosition{-1, -1};
        if (bCalculated) {
            item.eKind = IInfoRubrique::KIND_EXPRESSION;
            item.bIsItem = 0;
            item.expression = d.Tree(0, false);
        }
        spec.items.push_back(item);
    }
    for (int i = d.in.Byte() % 3; i > 0; --i)
        spec.inserts.push_back({.item = kNames[d.in.Byte() % 5], .value = d.Tree(3, true), .position = d.Span(true)});
    for (int i = d.in.Byte() % 3; i > 0; --i)
        spec.updates.push_back({.column = d.Tree(5, true), .value = d.Tree(3, true), .position = d.Span(true)});
    if (options & 1) {
        spec.whereStart = d.Position();
        spec.whereEnd = d.Position();
        spec.where = d.Tree(0, true);
    }
    if (options & 2) {
        spec.havingStart = d.Position();
        spec.havingEnd = d.Position();
        spec.having = d.Tree(0, true);
    }
    if (options & 4)
        spec.orderByStart = d.Position();
    if (options & 8)
        spec.groupBy.push_back({.item = kNames[d.in.Byte() % 5], .position = d.Span(true)});

    CTestConnection* pclConnection = host.pclConnection;
    pclConnection->SetDBKind((control & 0x10) ? 11 : (control & 0x20) ? 1 : 5);
    // UTF-8, so that the query's ideographs reach the text unchanged.
    pclConnection->SetClientTextCodePage(65001);
    pclConnection->SetNullSortsFirst(control & 0x80);

    StandinParsedQuery parse(spec);
    auto* pclQuery = new CSQLParserInfo(host.pclError, &parse, nullptr, 0);
    REF_AddRef(pclQuery);
    CNACommand* pclCommand = host.pclDriver->pclAllocCommand(host.pclError, pclConnection);
    REF_AddRef(pclCommand);
    pclCommand->EnableParameters(!(options & 0x10));
    CNACommand* pclCondition = nullptr;
    if (options & 0x20) {
        pclCondition = host.pclDriver->pclAllocCommand(host.pclError, pclConnection);
        REF_AddRef(pclCondition);
        pclCondition->bComplete(L"B>", 2);
        CAny clValue;
        clValue.SetI4(2);
        pclCondition->bAddParameter(&clValue, OPEXP_NONE, 0, nullptr, 0, CNAParameter::NA_PARAM_IN);
    }
    const int nMode = (options >> 6) & 3;
    (void)pclCommand->bFormatCondition(pclQuery, pclCondition, (options & 0x40) == 0, nMode == 3 ? 4 : nMode);
    host.pclError->Reset();

    // Parameters in order, inside the text.
    const unsigned long nWritten = pclCommand->nGetOriginalLength();
    unsigned long nLast = 0;
    for (unsigned i = 0; pclCommand->pclGetParameterNoRef(i) != nullptr; ++i) {
        const unsigned long nAt = pclCommand->pclGetParameterNoRef(i)->nGetPosition();
        Check(nAt >= nLast && nAt <= nWritten);
        nLast = nAt;
    }
    // The query's own characters in their order, each at most once (a
    // joined condition repeats none of them).
    const std::wstring written = pclCommand->pszGetOriginalSQL();
    long nPrevious = -1;
    for (wchar_t c : written) {
        if (c < kFirstUnique || c >= kFirstUnique + 200)
            continue;
        const long nIndex = static_cast<long>(c - kFirstUnique);
        Check(nIndex > nPrevious && nIndex < d.nLength && text[static_cast<size_t>(nIndex)] == c);
        nPrevious = nIndex;
    }
    if (pclCondition != nullptr)
        pclCondition->nRelease();
    pclCommand->nRelease();
    pclQuery->nRelease();
    return 0;
}
