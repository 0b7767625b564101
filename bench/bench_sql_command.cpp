// The SQL builder against std::string appends and snprintf, on a UTF-8
// connection. Every statement the driver sends is formatted this way:
// - "Insert200": a 200-column INSERT with 200 parameters (integers, and
//   texts with accents and quotes), written into a command and taken as
//   the bytes sent (pszGetFormatedSQLA); baseline: the same bytes built with
//   std::string appends, snprintf for the numbers and a UTF-8 encoding of
//   the texts with their quotes doubled (and the blank the command puts
//   between a value and the piece after it);
// - "SelectKey3": a SELECT with a three-column key condition and a row
//   limit; baseline: the same, the same way.
// The values are made once; each iteration makes the command, its
// parameters and its text.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "bench/sql_bench_support.h"
#include "bench/standin_bench_main.h"
#include "native/driver/wide_text_value.h"
#include "native/model/convert_variant.h"

namespace {

struct Value
{
    bool bText;
    int nNumber;
    std::wstring text;
    CNAConvertVariant* pclValue;
};

struct Setup : vxbench::SqlBenchConnection
{
    Setup()
    {
        StartTestDriverModule();
        Open(1252, 65001);
        for (int i = 0; i < 200; ++i) {
            Value value{i % 2 == 1, i * 7919 - 400000, L"", nullptr};
            CAny clValue;
            if (value.bText) {
                value.text = L"Client n\u00b0 " + std::to_wstring(i) + L" l'\u00e9t\u00e9 \u20ac";
                NA_bSetWideText(&clValue, 16, value.text.c_str());
            } else {
                clValue.SetI4(value.nNumber);
            }
            value.pclValue = pclDriver->pclGetNewVariant_NV_Any(pclError, pclConnection, nullptr, &clValue);
            REF_AddRef(value.pclValue);
            values.push_back(value);
        }
    }

    CTestDriverRegistration registration;
    std::vector<Value> values;
};

Setup& TheSetup()
{
    static Setup setup;
    return setup;
}

void AddUtf8(std::string& out, const std::wstring& text)
{
    for (wchar_t c : text) {
        const auto u = static_cast<uint32_t>(c);
        if (u < 0x80) {
            out.push_back(static_cast<char>(u));
        } else if (u < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (u >> 6)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else if (u < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (u >> 12)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (u >> 18)));
            out.push_back(static_cast<char>(0x80 | ((u >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((u >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (u & 0x3F)));
        }
    }
}

void AddLiteral(std::string& out, const Value& value)
{
    if (!value.bText) {
        vxbench::AppendNumber(out, value.nNumber);
        return;
    }
    out.push_back('\'');
    std::string utf8;
    AddUtf8(utf8, value.text);
    for (char c : utf8) {
        out.push_back(c);
        if (c == '\'')
            out.push_back('\'');
    }
    out.push_back('\'');
}

std::wstring InsertHead()
{
    std::wstring head = L"INSERT INTO CLIENT_\u00c9T\u00c9 (";
    for (int i = 0; i < 200; ++i)
        head += (i ? L"," : L"") + std::wstring(L"COL_") + std::to_wstring(i);
    return head + L") VALUES (";
}

const wchar_t* const kKeyParts[] = {L"SELECT * FROM CLIENT_\u00c9T\u00c9 WHERE KEY_A=", L" AND KEY_B=", L" AND KEY_C="};

// The INSERT written into a command; the command, which holds the bytes
// returned, goes to the caller.
const char* CommandInsert(Setup& setup, const std::wstring& head, CNACommand** ppclCommand)
{
    CNACommand* pclCommand = setup.pclNewCommand();
    pclCommand->bComplete(head.c_str(), static_cast<unsigned long>(-1));
    for (size_t i = 0; i < setup.values.size(); ++i) {
        if (i > 0)
            pclCommand->bComplete(L",", 1);
        pclCommand->bAddParameter(setup.values[i].pclValue, OPEXP_NONE, 0, nullptr, nullptr, 0,
                                  CNAParameter::NA_PARAM_IN);
    }
    pclCommand->bComplete(L")", 1);
    *ppclCommand = pclCommand;
    return pclCommand->pszGetFormatedSQLA(CNACommand::PARAMTYPE_NONE);
}

const char* CommandSelect(Setup& setup, CNACommand** ppclCommand)
{
    CNACommand* pclCommand = setup.pclNewCommand();
    for (int i = 0; i < 3; ++i) {
        pclCommand->bComplete(kKeyParts[i], static_cast<unsigned long>(-1));
        pclCommand->bAddParameter(setup.values[static_cast<size_t>(i)].pclValue, OPEXP_EQUAL, 0, nullptr, nullptr, 0,
                                  CNAParameter::NA_PARAM_IN);
    }
    pclCommand->bComplete(L" ORDER BY KEY_A, KEY_B, KEY_C", static_cast<unsigned long>(-1));
    pclCommand->SetLimit(1);
    *ppclCommand = pclCommand;
    return pclCommand->pszGetFormatedSQLA(CNACommand::PARAMTYPE_NONE);
}

std::string BaselineInsert(Setup& setup, const std::wstring& head)
{
    std::string sql;
    AddUtf8(sql, head);
    // The command sets each piece after a value off by a blank.
    for (size_t i = 0; i < setup.values.size(); ++i) {
        if (i > 0)
            sql += " ,";
        AddLiteral(sql, setup.values[i]);
    }
    sql += " )";
    return sql;
}

void BM_Insert200_Command(benchmark::State& state)
{
    Setup& setup = TheSetup();
    const std::wstring head = InsertHead();
    vxbench::TimeCommandAgainst(state, BaselineInsert(setup, head),
                                [&](CNACommand** ppclCommand) { return CommandInsert(setup, head, ppclCommand); });
}

void BM_Insert200_Baseline(benchmark::State& state)
{
    Setup& setup = TheSetup();
    const std::wstring head = InsertHead();
    for (auto _ : state)
        benchmark::DoNotOptimize(BaselineInsert(setup, head));
}

std::string BaselineSelect(Setup& setup)
{
    std::string sql;
    for (int i = 0; i < 3; ++i) {
        AddUtf8(sql, kKeyParts[i]);
        AddLiteral(sql, setup.values[static_cast<size_t>(i)]);
    }
    sql += " ORDER BY KEY_A, KEY_B, KEY_C LIMIT ";
    vxbench::AppendNumber(sql, 1);
    return sql;
}

void BM_SelectKey3_Command(benchmark::State& state)
{
    Setup& setup = TheSetup();
    vxbench::TimeCommandAgainst(state, BaselineSelect(setup),
                                [&](CNACommand** ppclCommand) { return CommandSelect(setup, ppclCommand); });
}

void BM_SelectKey3_Baseline(benchmark::State& state)
{
    Setup& setup = TheSetup();
    for (auto _ : state)
        benchmark::DoNotOptimize(BaselineSelect(setup));
}

BENCHMARK(BM_Insert200_Command)->Name("Insert200/Command");
BENCHMARK(BM_Insert200_Baseline)->Name("Insert200/Baseline");
BENCHMARK(BM_SelectKey3_Command)->Name("SelectKey3/Command");
BENCHMARK(BM_SelectKey3_Baseline)->Name("SelectKey3/Baseline");

}  // namespace

int main(int argc, char** argv)
{
    return vxbench::RunOnStandinHost(argc, argv, "ratio SQL command / std::string and snprintf", "/Command",
                                     "/Baseline");
}
