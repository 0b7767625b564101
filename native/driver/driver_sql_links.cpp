// The link list of a table: its foreign keys, read from the server's
// CREATE TABLE text (link_parser.h), with the composite keys of the tables
// concerned looked up in their descriptions.
#include <cwchar>
#include <map>
#include <string>

#include "native/access/statement_sql.h"
#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/driver_sql.h"
#include "native/driver/link_parser.h"
#include "native/driver/wide_text_value.h"
#include "native/model/data_source_description.h"
#include "native/model/item_description.h"

namespace {

// The descriptions read for the look-ups of one parse, each read once (a
// table whose description cannot be had is not asked for again) and all
// released when the parse ends.
class CKeyLookups
{
public:
    CKeyLookups(CNADriver* pclDriver, CNAConnectionDescription* pclConnection)
        : m_pclDriver(pclDriver), m_pclConnection(pclConnection)
    {
    }
    ~CKeyLookups()
    {
        for (auto& entry : m_descriptions) {
            if (entry.second != nullptr)
                entry.second->nRelease();
        }
    }
    CKeyLookups(const CKeyLookups&) = delete;
    CKeyLookups& operator=(const CKeyLookups&) = delete;

    CNALinkParser::eKeyLookup eFind(const wchar_t* pszTable, const wchar_t* pszColumns, int nColumns,
                                    CTString* pcsKey)
    {
        const CNADataSourceDescription* pclSource = _pclDescription(pszTable);
        if (pclSource == nullptr)
            return CNALinkParser::KEY_UNAVAILABLE;
        for (unsigned i = 0; i < pclSource->nGetNumKeys(); ++i) {
            const CNAItemDescription* pclKey = pclSource->pclGetKeyNoRef(i);
            if (pclKey == nullptr || !pclKey->bIsComposedKey() || pclKey->nGetNumComponents() != nColumns)
                continue;
            CTString csComponents;
            for (int j = 0; j < nColumns; ++j) {
                const CNAItemDescription* pclComponent = pclKey->pclGetComponentNoRef(j);
                if (j > 0)
                    csComponents.Add(L',');
                csComponents.Add(pclComponent != nullptr ? pclComponent->pszGetName() : L"");
            }
            if (csComponents.bEstEgalI(pszColumns)) {
                pcsKey->Set(pclKey->pszGetName());
                return CNALinkParser::KEY_FOUND;
            }
        }
        return CNALinkParser::KEY_NONE;
    }

private:
    CNADataSourceDescription* _pclDescription(const wchar_t* pszTable)
    {
        const std::wstring name = pszTable != nullptr ? pszTable : L"";
        const auto it = m_descriptions.find(name);
        if (it != m_descriptions.end())
            return it->second;
        CNADataSourceDescription* pclSource =
            m_pclDriver != nullptr ? m_pclDriver->_pclGetTableDesc(name.c_str(), m_pclConnection) : nullptr;
        m_descriptions.emplace(name, pclSource);
        return pclSource;
    }

    CNADriver* m_pclDriver;
    CNAConnectionDescription* m_pclConnection;
    std::map<std::wstring, CNADataSourceDescription*> m_descriptions;
};

}  // namespace

int CNADriverSQL::bGetLinkList(CAny* pclList, CNAConnectionDescription* pclConnection, const wchar_t* pszTable,
                               INADataSourceDescription* piSource, unsigned nFlags)
{
    // Only this database kind's CREATE TABLE text is read.
    if (pclConnection->nGetDBKind() != 5)
        return 1;
    const wchar_t* pszName = piSource != nullptr ? piSource->pszGetDBTableName() : pszTable;
    CTString csFormatted;
    if (!pclConnection->bFormatTableName(m_pclError, pszName, &csFormatted))
        return 0;
    CTString csSQL;
    csSQL.printf(L"SHOW CREATE TABLE %s", csFormatted.pszGet());
    CNAStatementSQL* pclStatement = nullptr;
    if (!bExecute(m_pclError, &pclStatement, pclConnection, csSQL.pszGet(), nullptr, 0))
        return 0;
    if (pclStatement == nullptr)
        return 1;
    int bDone = pclStatement->bFetch(0);
    int nColumns = 0;
    if (bDone && pclStatement->bHasCurrentRow() && pclStatement->bGetColumnNbr(&nColumns, 0) && nColumns >= 2) {
        const wchar_t* pszColumn = pclStatement->_pszGetColumnName(1);
        CAny value;
        const wchar_t* pszText = nullptr;
        if (pszColumn != nullptr && CTString(pszColumn).bEstEgalI(L"Create Table") &&
            pclStatement->bGetValue(&value, 1, 0))
            pszText = NA_pszWideTextOf(&value);
        if (pszText != nullptr) {
            CXYStringConcat<wchar_t> clLinks;
            _bExtraitLink_FromShowCreateTable(&clLinks, pszText, piSource != nullptr ? nullptr : pszTable, pszName,
                                              pclConnection, nFlags);
            bDone = NA_bSetWideText(pclList, ZLTYPE_DSTRW, clLinks.pszGet(), clLinks.nGetLongueur());
        }
    }
    pclStatement->nRelease();
    return bDone;
}

int CNADriverSQL::_bExtraitLink_FromShowCreateTable(CXYStringConcat<wchar_t>* pclLinks, const wchar_t* pszText,
                                                     const wchar_t* pszListedTable, const wchar_t* pszLookupTable,
                                                     CNAConnectionDescription* pclConnection, unsigned nFlags)
{
    CKeyLookups lookups(m_pclDriver, pclConnection);
    CNALinkParser::g_ExtractLinks(
        pszText, std::wcslen(pszText), pszListedTable, pszLookupTable, nFlags,
        [&lookups](const wchar_t* pszTable, const wchar_t* pszColumns, int nColumns, CTString* pcsKey) {
            return lookups.eFind(pszTable, pszColumns, nColumns, pcsKey);
        },
        pclLinks);
    return pclLinks->bEchec() ? 0 : 1;
}
