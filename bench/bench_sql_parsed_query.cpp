// The SQL builder for parsed queries against std::string appends: a SELECT
// of 30 items over three joined tables with a 20-node WHERE tree (five
// comparisons with a number each, a function, four ANDs), written from its
// stand-in parse into a command and taken as the bytes sent
// (pszGetFormatedSQLA), in microseconds per statement; baseline: the same
// bytes made by appending the same pieces (the text between the clauses,
// each name in its quotes, each number by snprintf) to a std::string. The
// parse is made once; each iteration makes the command and its text.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench/sql_bench_support.h"
#include "bench/standin_bench_main.h"
#include "native/sql/sql_parser_info.h"
#include "tests/host/db/standin_parsed_query.h"

namespace {

using vxstandin::ExpressionSpec;

// One piece of the statement: text copied as written, a name the command
// quotes, or a number that becomes a parameter.
struct Piece
{
    enum Kind
    {
        RAW,
        NAME,
        NUMBER
    } eKind;
    std::wstring text;
    int n = 0;
};

// The statement's pieces and its parse, built together.
struct Statement
{
    std::vector<Piece> pieces;
    std::wstring text;
    vxstandin::ParsedQuerySpec spec;

    SQLPosition Raw(const std::wstring& s)
    {
        return Add({Piece::RAW, s});
    }
    SQLPosition Name(const std::wstring& s) { return Add({Piece::NAME, s}); }
    SQLPosition Add(Piece piece)
    {
        const long nStart = static_cast<long>(text.size());
        text += piece.eKind == Piece::NUMBER ? std::to_wstring(piece.n) : piece.text;
        pieces.push_back(std::move(piece));
        return {nStart, static_cast<long>(text.size()) - 1};
    }
    // alias.item, written as a column node.
    ExpressionSpec Column(const std::wstring& alias, const std::wstring& item)
    {
        const long nStart = Name(alias).nStart;
        Raw(L".");
        const long nStop = Name(item).nStop;
        return ExpressionSpec{.eOperator = OPEXP_ITEM, .item = item, .table = alias, .position = {nStart, nStop}};
    }
    // alias.item <op> n
    ExpressionSpec Compare(int eOperator, const wchar_t* pszOperator, ExpressionSpec column, int n)
    {
        Raw(pszOperator);
        const SQLPosition stNumber = Add({Piece::NUMBER, L"", n});
        auto value = std::make_shared<CAny>();
        value->SetI4(n);
        return ExpressionSpec{.eOperator = eOperator,
                              .position = {column.position.nStart, stNumber.nStop},
                              .operands = {column, ExpressionSpec{.eOperator = OPEXP_LITERAL, .position = stNumber,
                                                                  .value = value}}};
    }
};

const wchar_t* const kAliases[] = {L"A", L"B", L"C"};

Statement MakeStatement()
{
    Statement s;
    s.Raw(L"SELECT ");
    for (int i = 0; i < 30; ++i) {
        if (i > 0)
            s.Raw(L", ");
        const std::wstring item = L"C" + std::to_wstring(i);
        const ExpressionSpec column = s.Column(kAliases[i % 3], item);
        s.spec.items.push_back({.item = item,
                                .table = L"T" + std::to_wstring(i % 3 + 1),
                                .tableAlias = kAliases[i % 3],
                                .position = column.position});
    }
    s.Raw(L" FROM ");
    for (int t = 0; t < 3; ++t) {
        if (t > 0)
            s.Raw(L" JOIN ");
        const long nStart = s.Name(L"T" + std::to_wstring(t + 1)).nStart;
        s.Raw(L" ");
        const long nStop = s.Name(kAliases[t]).nStop;
        s.spec.from.push_back({.name = L"T" + std::to_wstring(t + 1), .alias = kAliases[t], .position = {nStart, nStop}});
        if (t > 0) {
            s.Raw(L" ON ");
            ExpressionSpec left = s.Column(kAliases[t - 1], L"K");
            s.Raw(L" = ");
            ExpressionSpec right = s.Column(kAliases[t], L"K");
            const SQLPosition st{left.position.nStart, right.position.nStop};
            s.spec.joins.push_back(
                {.position = st, .condition = ExpressionSpec{.eOperator = OPEXP_EQUAL, .position = st,
                                                             .operands = {left, right}}});
        }
    }
    s.spec.whereStart = static_cast<long>(s.text.size()) + 1;
    s.Raw(L" WHERE ");
    const wchar_t* const kOperators[] = {L" = ", L" > ", L" < ", L" <> ", L" = "};
    const int kCodes[] = {OPEXP_EQUAL, 13, 11, 10, OPEXP_EQUAL};
    ExpressionSpec tree;
    for (int i = 0; i < 5; ++i) {
        if (i > 0)
            s.Raw(L" AND ");
        ExpressionSpec column;
        if (i == 4) {
            // A function over the column: its name as written on MySQL.
            const long nStart = s.Raw(L"UPPER(").nStart;
            ExpressionSpec inner = s.Column(kAliases[i % 3], L"C" + std::to_wstring(i));
            const long nStop = s.Raw(L")").nStop;
            column = ExpressionSpec{.eOperator = 45, .position = {nStart, nStop}, .operands = {inner}};
        } else {
            column = s.Column(kAliases[i % 3], L"C" + std::to_wstring(i));
        }
        ExpressionSpec comparison = s.Compare(kCodes[i], kOperators[i], column, i + 1);
        if (i == 0) {
            tree = comparison;
        } else {
            const SQLPosition st{tree.position.nStart, comparison.position.nStop};
            tree = ExpressionSpec{.eOperator = 2, .position = st, .operands = {tree, comparison}};
        }
    }
    s.spec.whereEnd = static_cast<long>(s.text.size()) - 1;
    s.spec.where = tree;
    s.spec.text = s.text;
    return s;
}

struct Setup : vxbench::SqlBenchConnection
{
    Setup() : statement(MakeStatement()), parse(statement.spec)
    {
        StartTestDriverModule();
        Open(1252, 65001);
        pclQuery = new CSQLParserInfo(pclError, &parse, nullptr, 0);
        REF_AddRef(pclQuery);
    }

    CTestDriverRegistration registration;
    Statement statement;
    StandinParsedQuery parse;
    CSQLParserInfo* pclQuery = nullptr;
};

Setup& TheSetup()
{
    static Setup setup;
    return setup;
}

// The statement written into a command; the command, which holds the bytes
// returned, goes to the caller.
const char* CommandSelect(Setup& setup, CNACommand** ppclCommand)
{
    CNACommand* pclCommand = setup.pclNewCommand();
    pclCommand->bFormatCondition(setup.pclQuery, nullptr, 1, 0);
    *ppclCommand = pclCommand;
    return pclCommand->pszGetFormatedSQLA(CNACommand::PARAMTYPE_NONE);
}

void AddAscii(std::string& out, const std::wstring& text)
{
    for (wchar_t c : text)
        out.push_back(static_cast<char>(c));
}

std::string BaselineSelect(const Statement& statement)
{
    std::string sql;
    for (const Piece& piece : statement.pieces) {
        switch (piece.eKind) {
        case Piece::RAW:
            AddAscii(sql, piece.text);
            break;
        case Piece::NAME:
            sql.push_back('`');
            AddAscii(sql, piece.text);
            sql.push_back('`');
            break;
        case Piece::NUMBER:
            vxbench::AppendNumber(sql, piece.n);
            break;
        }
    }
    return sql;
}

void BM_Select30_Command(benchmark::State& state)
{
    Setup& setup = TheSetup();
    vxbench::TimeCommandAgainst(state, BaselineSelect(setup.statement),
                                [&](CNACommand** ppclCommand) { return CommandSelect(setup, ppclCommand); });
}

void BM_Select30_Baseline(benchmark::State& state)
{
    Setup& setup = TheSetup();
    for (auto _ : state)
        benchmark::DoNotOptimize(BaselineSelect(setup.statement));
}

BENCHMARK(BM_Select30_Command)->Name("ParsedSelect30/Command")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Select30_Baseline)->Name("ParsedSelect30/Baseline")->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    return vxbench::RunOnStandinHost(argc, argv, "ratio parsed-query SQL builder / std::string appends", "/Command",
                                     "/Baseline");
}
