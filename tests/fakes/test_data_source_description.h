#pragma once

// A data-source description whose four schema operations read a scripted
// statement (scripted_statement_sql.h) as a database driver's description
// reads its schema queries, so that the data model's schema reading can be
// tested on any columns and keys without a server:
//
// - the columns: the text L"COLUMNS OF " + name, one row per item with the
//   texts Field, Type (item type code), Size, Integer, Decimal, Null ("NO"
//   for NOT NULL), Extra ("auto_increment");
// - the keys: the text L"KEYS OF " + name, one row per key column with the
//   texts Key (key name), Column, Flags (key flags, decimal). Consecutive
//   rows of one key make a composite key: a new item named after the key,
//   added last, whose components are the columns; a key of one column sets
//   that item's key type.
//
// Install it with the test driver's choice for slot 46:
//
//     choices.allocDataSourceDescription = [](CNAConnectionDescription* c, CNAError* e) {
//         return new CTestDataSourceDescription(c, e);
//     };
#include <cwchar>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "common/text/xy_string_concat.h"
#include "native/model/data_source_description.h"
#include "tests/fakes/scripted_statement_sql.h"

class CTestDataSourceDescription : public CNADataSourceDescription
{
public:
    CTestDataSourceDescription(CNAConnectionDescription* pclConnection, CNAError* pclError)
        : CNADataSourceDescription(pclConnection, pclError)
    {
        ++s_nLive;
    }
    CTestDataSourceDescription(const CTestDataSourceDescription&) = delete;
    ~CTestDataSourceDescription() override { --s_nLive; }

    static std::wstring ColumnsQuery(const std::wstring& name) { return L"COLUMNS OF " + name; }
    static std::wstring KeysQuery(const std::wstring& name) { return L"KEYS OF " + name; }

    // The scripted results of the two queries, from their rows.
    static CScriptedResult ColumnsResult(std::vector<CScriptedRow> rows)
    {
        return Result({L"Field", L"Type", L"Size", L"Integer", L"Decimal", L"Null", L"Extra"}, std::move(rows));
    }
    static CScriptedResult KeysResult(std::vector<CScriptedRow> rows)
    {
        return Result({L"Key", L"Column", L"Flags"}, std::move(rows));
    }

    // Descriptions of this class alive in the process.
    static inline int s_nLive = 0;

protected:
    int _bGetQueryShowColumns(CXYStringConcat<wchar_t>* pclQuery) override
    {
        pclQuery->Add(ColumnsQuery(pszGetPhysicalName()).c_str());
        return 1;
    }

    int _bInitItemFromQueryShowColumns(CNAStatementSQL* pclStatement) override
    {
        auto* pclScripted = static_cast<CScriptedStatementSQL*>(pclStatement);
        while (pclScripted->bFetch(0) && pclScripted->bOnRow()) {
            const auto eType = static_cast<eNA_ITEMTYPE>(Number(pclScripted->Text(1)));
            if (!bAddItem(pclScripted->Text(0).c_str(), pszGetPhysicalName(), pclScripted->Text(0).c_str(), 1,
                          static_cast<unsigned>(Number(pclScripted->Text(2))), eType, static_cast<unsigned>(-1), -1, 0,
                          static_cast<int>(Number(pclScripted->Text(3))),
                          static_cast<int>(Number(pclScripted->Text(4)))))
                return 0;
            CNAItemDescription* pclItem = pclGetItemNoRef(nGetNumItems() - 1);
            pclItem->SetPhysicalIndiceDB(static_cast<int>(nGetNumItems() - 1));
            if (pclScripted->Text(5) == L"NO")
                pclItem->SetNullable(0);
            if (pclScripted->Text(6) == L"auto_increment")
                pclItem->SetAutoIncrement();
        }
        return 1;
    }

    int _bGetQueryShowIndex(CXYStringConcat<wchar_t>* pclQuery) override
    {
        pclQuery->Add(KeysQuery(pszGetPhysicalName()).c_str());
        return 1;
    }

    int _bInitKeysFromQueryShowIndex(CNAStatementSQL* pclStatement) override
    {
        auto* pclScripted = static_cast<CScriptedStatementSQL*>(pclStatement);
        std::wstring pendingKey, firstColumn;
        unsigned short wFlags = 0;
        CNAItemDescription* pclComposite = nullptr;
        auto finish = [&]() -> int {
            if (pendingKey.empty() || pclComposite != nullptr)
                return 1;
            return _bSetKeyType(firstColumn.c_str(), wFlags);
        };
        while (pclScripted->bFetch(0) && pclScripted->bOnRow()) {
            const std::wstring key = pclScripted->Text(0);
            const std::wstring column = pclScripted->Text(1);
            if (key != pendingKey) {
                if (!finish())
                    return 0;
                pendingKey = key;
                firstColumn = column;
                wFlags = static_cast<unsigned short>(Number(pclScripted->Text(2)));
                pclComposite = nullptr;
                continue;
            }
            if (pclComposite == nullptr) {
                // The key goes on over another column: a composite key.
                if (!bAddItem(key.c_str(), pszGetPhysicalName(), key.c_str(), 1, 0, NA_IT_BINAIRE,
                              static_cast<unsigned>(-1), static_cast<int>(nGetNumKeys()),
                              static_cast<unsigned short>(wFlags | 0x1000), 0, 0))
                    return 0;
                pclComposite = pclGetItemNoRef(nGetNumItems() - 1);
                if (!_bAddItemComponent(pclComposite, firstColumn.c_str()))
                    return 0;
            }
            if (!_bAddItemComponent(pclComposite, column.c_str()))
                return 0;
        }
        return finish();
    }

private:
    static CScriptedResult Result(std::initializer_list<const wchar_t*> columns, std::vector<CScriptedRow> rows)
    {
        return ScriptedRows(columns, std::move(rows));
    }
    static long Number(const std::wstring& text) { return std::wcstol(text.c_str(), nullptr, 10); }
};
