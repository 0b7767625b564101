// Writing a browse's WHERE text against std::string appends: a search on a
// three-column composite key (A, N, C), switched to its forward
// continuation, written into a command (bGetSQL) and taken as the bytes
// sent (pszGetFormatedSQLA); baseline: the same bytes appended piece by
// piece to a std::string, snprintf for the numbers. A browse writes one
// such condition per re-query. The record and the search are made once;
// each iteration makes the command, its parameters and its text.
#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include "bench/sql_bench_support.h"
#include "bench/standin_bench_main.h"
#include "native/model/column.h"
#include "native/model/item_description.h"
#include "native/model/record.h"
#include "native/sql/search.h"
#include "tests/fakes/test_data_access.h"
#include "tests/fakes/test_data_source_description.h"

namespace {

constexpr unsigned kAppend = static_cast<unsigned>(-1);

struct Setup : vxbench::SqlBenchConnection
{
    Setup()
    {
        StartTestDriverModule();
        CTestDriverChoices choices;
        choices.allocColumn = PlainColumnFactory();
        choices.allocDataAccess = TestDataAccessFactory();
        choices.allocDataSourceDescription = [](CNAConnectionDescription* pclConnection, CNAError* pclError) {
            return new CTestDataSourceDescription(pclConnection, pclError);
        };
        registration.emplace(std::move(choices));
        Open(1252, 1252);
        pclSource = pclDriver->pclAllocDataSourceDescription(pclConnection, pclError);
        pclSource->AddRef();
        pclSource->SetLogicalName(L"CLIENT");
        pclSource->SetDBName(L"CLIENT");
        pclSource->bAddItem(L"A", L"CLIENT", L"A", 1, 6, NA_IT_TEXTE, kAppend, -1, 0, 0, 0);
        pclSource->bAddItem(L"N", L"CLIENT", L"N", 1, 4, NA_IT_I4, kAppend, -1, 0, 0, 0);
        pclSource->bAddItem(L"C", L"CLIENT", L"C", 1, 2, NA_IT_I2, kAppend, -1, 0, 0, 0);
        pclSource->bAddItem(L"ANC", L"CLIENT", L"ANC", 1, 0, NA_IT_BINAIRE, kAppend, -1,
                            NA_KEY_UNIQUE | NA_KEY_COMPOSED, 0, 0);
        CNAItemDescription* pclKey = pclSource->pclGetItemNoRef(pclSource->nGetNumItems() - 1);
        for (const wchar_t* pszComponent : {L"A", L"N", L"C"})
            pclSource->_bAddItemComponent(pclKey, pszComponent);
        pclSource->UpdateRecordSize();
        pclAccess = pclDriver->pclAllocDataAccess(pclSource, pclConnection, pclError);
        REF_AddRef(pclAccess);
        pclRecord = static_cast<CTestDataAccess*>(pclAccess)->_pclAllocRecord(pclError);
        REF_AddRef(pclRecord);
        bReady = pclRecord->bInitRecord(pclSource, nullptr, pclConnection) == 1;
        pclSearch = new CNARecherche(pclError, pclConnection);
        REF_AddRef(pclSearch);
        std::string key = "Dupont";
        key.resize(5, '\0');
        const int n = 421;
        const short c = 7;
        key.append(reinterpret_cast<const char*>(&n), sizeof n);
        key.append(reinterpret_cast<const char*>(&c), sizeof c);
        CAny clKey;
        clKey.SetBIN(reinterpret_cast<const unsigned char*>(key.data()), static_cast<unsigned long>(key.size()));
        bReady = bReady && pclSearch->bSetRecherche(pclRecord, pclKey, &clKey, static_cast<eNA_PARSEDIRECTION>(0),
                                                    1, 0) == 1;
        pclSearch->bSetContinueParcours(0);
    }

    std::optional<CTestDriverRegistration> registration;
    CNADataSourceDescription* pclSource = nullptr;
    CNADataAccess* pclAccess = nullptr;
    CNARecord* pclRecord = nullptr;
    CNARecherche* pclSearch = nullptr;
    bool bReady = false;
};

Setup& TheSetup()
{
    static Setup setup;
    return setup;
}

const char* CommandWhere(Setup& setup, CNACommand** ppclCommand)
{
    CNACommand* pclCommand = setup.pclNewCommand();
    setup.pclSearch->bGetSQL(pclCommand, nullptr, setup.pclRecord);
    *ppclCommand = pclCommand;
    return pclCommand->pszGetFormatedSQLA(CNACommand::PARAMTYPE_NONE);
}

// A OR B AND (C OR D AND E), the values as the command writes them: a
// blank between a value and a piece that does not start with one.
std::string BaselineWhere()
{
    std::string sql;
    sql += "`A`>";
    sql += "'Dupon'";
    sql += " OR `A`=";
    sql += "'Dupon'";
    sql += " AND (`N`>";
    vxbench::AppendNumber(sql, 421);
    sql += " OR `N`=";
    vxbench::AppendNumber(sql, 421);
    sql += " AND `C`>";
    vxbench::AppendNumber(sql, 7);
    sql += " )";
    return sql;
}

void BM_SearchWhere_Command(benchmark::State& state)
{
    Setup& setup = TheSetup();
    if (!setup.bReady) {
        state.SkipWithError("the record or the search could not be made");
        return;
    }
    vxbench::TimeCommandAgainst(state, BaselineWhere(),
                                [&](CNACommand** ppclCommand) { return CommandWhere(setup, ppclCommand); });
}

void BM_SearchWhere_Baseline(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(BaselineWhere());
}

BENCHMARK(BM_SearchWhere_Command)->Name("SearchWhere3/Command")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchWhere_Baseline)->Name("SearchWhere3/Baseline")->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    return vxbench::RunOnStandinHost(argc, argv, "ratio search WHERE text / std::string", "/Command", "/Baseline");
}
