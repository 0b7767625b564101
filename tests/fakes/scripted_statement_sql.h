#pragma once

// An execution statement that answers from a script instead of a database:
// the script maps SQL texts to results (result columns as CNAColumnSQL
// descriptions, rows as texts, NULL as an absent text) or to a failure. The
// test driver's SQL-functions object makes these statements when the test
// installs the script's factory:
//
//     CStatementScript script;
//     script.On(L"SHOW COLUMNS", {{Column(L"Field")}, {{L"ID"}, {L"NAME"}}});
//     choices.allocStatementSQL = script.Factory();
//
// A text the script does not know fails like a text the database refuses.
// Values come back as wide runtime strings (DSTRW), as the base statement
// hands them out. The script records every text run and counts the live
// statements, so a test can see that each one was released. It serves
// where a test needs exact results or a failure at one chosen statement,
// which a server gives only with much set-up or not at all.
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/text/any.h"
#include "native/access/statement_sql.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/model/column_sql.h"
#include "tests/fakes/test_driver.h"

struct CScriptedColumn
{
    std::wstring name;
    eNA_ITEMTYPE eType = NA_IT_TEXTE;
    unsigned nSize = 51;
    int nIntegerDigits = 0;
    unsigned nDecimals = 0;
    uint16_t wKeyFlags = 0;
    std::wstring table;
    std::wstring nameInTable;
    std::wstring dbType;
    int nDBTypeCode = 0;
};

using CScriptedRow = std::vector<std::optional<std::wstring>>;

struct CScriptedResult
{
    std::vector<CScriptedColumn> columns;
    std::vector<CScriptedRow> rows;
    // The execution fails (user error 12 in the statement's error object).
    bool bFail = false;
};

// A plain text column of that name.
inline CScriptedColumn ScriptedColumn(const wchar_t* pszName)
{
    CScriptedColumn column;
    column.name = pszName;
    return column;
}

// A result of text columns of those names with those rows.
inline CScriptedResult ScriptedRows(std::initializer_list<const wchar_t*> columns, std::vector<CScriptedRow> rows)
{
    CScriptedResult result;
    for (const wchar_t* pszName : columns)
        result.columns.push_back(ScriptedColumn(pszName));
    result.rows = std::move(rows);
    return result;
}

class CStatementScript
{
public:
    void On(const std::wstring& sql, CScriptedResult result) { m_results[sql] = std::move(result); }
    void Fail(const std::wstring& sql) { m_results[sql].bFail = true; }
    const CScriptedResult* pFind(const wchar_t* pszSQL) const
    {
        auto it = m_results.find(pszSQL != nullptr ? pszSQL : L"");
        return it != m_results.end() ? &it->second : nullptr;
    }

    // The factory of the test driver's SQL-functions object.
    CTestDriverSQL::AllocStatementSQL Factory();

    std::vector<std::wstring> executed;
    int nMade = 0;
    int nLive = 0;

private:
    std::map<std::wstring, CScriptedResult> m_results;
};

class CScriptedStatementSQL : public CNAStatementSQL
{
public:
    CScriptedStatementSQL(CNAConnectionDescription* pclConnection, CNAError* pclError, CStatementScript* pScript)
        : CNAStatementSQL(pclConnection, pclError), m_pScript(pScript)
    {
        ++m_pScript->nMade;
        ++m_pScript->nLive;
    }
    ~CScriptedStatementSQL() override { --m_pScript->nLive; }

    int bExecuteDirect(const wchar_t* pszSQL, CTabValParser*, unsigned) override
    {
        bReset();
        m_pScript->executed.push_back(pszSQL != nullptr ? pszSQL : L"");
        m_pResult = m_pScript->pFind(pszSQL);
        if (m_pResult == nullptr || m_pResult->bFail) {
            m_pResult = nullptr;
            if (m_pclError != nullptr)
                m_pclError->AddError(NA_ERR_GENERAL, 12u, NA_SRC_DB_STATEMENTSQL, 1, m_pclConnection);
            return 0;
        }
        m_bParseOpened = 1;
        m_nRowCount = static_cast<int64_t>(m_pResult->rows.size());
        m_nColumnCount = static_cast<uint32_t>(m_pResult->columns.size());
        return 1;
    }

    int bFetch(unsigned) override
    {
        if (m_pResult == nullptr || m_nCurrentRow + 1 >= m_nRowCount) {
            m_bNoCurrentRow = 1;
            return 1;
        }
        ++m_nCurrentRow;
        m_bNoCurrentRow = 0;
        return 1;
    }

    int bGetValue(CAny* pclValue, unsigned nColumn, unsigned) override
    {
        if (pclValue == nullptr || m_pResult == nullptr || m_bNoCurrentRow || nColumn >= m_nColumnCount)
            return 0;
        const CScriptedRow& row = m_pResult->rows[static_cast<size_t>(m_nCurrentRow)];
        pclValue->__SetType(ZLTYPE_DSTRW, 0);
        if (nColumn >= row.size() || !row[nColumn].has_value()) {
            pclValue->SetNull();
            return 1;
        }
        const std::wstring& text = *row[nColumn];
        (void)pclValue->Objet().SetValue(text.c_str(), text.size() * sizeof(wchar_t));
        return 1;
    }

    int _bInitTabNAColumn() override
    {
        if (m_pResult == nullptr)
            return 0;
        m_tabColumns = new CNAColumnSQL[m_nColumnCount];
        for (uint32_t i = 0; i < m_nColumnCount; ++i) {
            const CScriptedColumn& from = m_pResult->columns[i];
            CNAColumnSQL& to = m_tabColumns[i];
            to.m_csName.Set(from.name.c_str());
            to.m_eItemType = from.eType;
            to.m_nSize = from.nSize;
            to.m_nIntegerDigits = from.nIntegerDigits;
            to.m_nDecimals = from.nDecimals;
            to.m_wKeyFlags = from.wKeyFlags;
            to.m_csTableName.Set(from.table.c_str());
            to.m_csNameInTable.Set(from.nameInTable.c_str());
            to.m_csDBType.Set(from.dbType.c_str());
            to.m_nDBTypeCode = from.nDBTypeCode;
        }
        return 1;
    }

    // The current row's value of a column as text; empty for NULL.
    std::wstring Text(unsigned nColumn)
    {
        CAny value;
        if (!bGetValue(&value, nColumn, 0) || value.bIsNull())
            return std::wstring();
        const wchar_t* psz = nullptr;
        (void)value.Objet().nGetPCWSTR(&psz);
        return psz != nullptr ? psz : L"";
    }
    bool bOnRow() const { return m_bNoCurrentRow == 0; }

private:
    CStatementScript* m_pScript;
    const CScriptedResult* m_pResult = nullptr;
};

inline CTestDriverSQL::AllocStatementSQL CStatementScript::Factory()
{
    return [this](CNAConnectionDescription* pclConnection, CNAError* pclError) -> CNAStatementSQL* {
        return new CScriptedStatementSQL(pclConnection, pclError, this);
    };
}
