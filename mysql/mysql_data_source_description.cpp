// The MySQL table description's queries and its items from the column
// list: SHOW FULL COLUMNS gives Field, Type, Collation, Null, Key, Default,
// Extra (then Privileges and Comment); a server before 4.1 gives SHOW
// COLUMNS without Collation.
#include "mysql/mysql_data_source_description.h"

#include <cwchar>
#include <new>

#include "common/text/any.h"
#include "mysql/mysql_column_types.h"
#include "mysql/mysql_connection.h"
#include "mysql/show_result_reader.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/model/convert_variant.h"

namespace {

bool bDateOrTimeItem(eNA_ITEMTYPE eType)
{
    return eType == NA_IT_DATE6 || eType == NA_IT_DATE8 || eType == NA_IT_HEURE || eType == NA_IT_DATETIME;
}

// Digits and the separators of a written date or time. A default such as
// "current_timestamp()" is none: the date forms read any text of their
// lengths by position and would make a date of it.
bool bDateTimeText(const CTString& csText)
{
    for (const wchar_t* p = csText.pszGet(); *p != 0; ++p)
        if (!(*p >= L'0' && *p <= L'9') && *p != L'-' && *p != L':' && *p != L' ' && *p != L'.')
            return false;
    return true;
}

}  // namespace

CMySQLDataSourceDescription::CMySQLDataSourceDescription(CNAConnectionDescription* pclConnection, CNAError* pclError)
    : CNADataSourceDescription(pclConnection, pclError)
{
}

CMySQLConnection* CMySQLDataSourceDescription::_pclMySQLConnection() const
{
    // Made only by the MySQL driver, for MySQL connections.
    return static_cast<CMySQLConnection*>(m_pclConnection);
}

int CMySQLDataSourceDescription::_bWriteQuery(CXYStringConcat<wchar_t>* pclQuery, const wchar_t* pszPrefix)
{
    CTString csTable;
    if (!m_pclConnection->bFormatTableName(m_pclError, pszGetDBTableName(), &csTable))
        return 0;
    pclQuery->Vide();
    pclQuery->Add(pszPrefix);
    pclQuery->Add(csTable.pszGet());
    return 1;
}

int CMySQLDataSourceDescription::_bGetQueryShowColumns(CXYStringConcat<wchar_t>* pclQuery)
{
    return _bWriteQuery(pclQuery, _pclMySQLConnection()->bServerVersionGreaterThan4_1() ? L"SHOW FULL COLUMNS FROM "
                                                                                        : L"SHOW COLUMNS FROM ");
}

int CMySQLDataSourceDescription::_bGetQueryShowIndex(CXYStringConcat<wchar_t>* pclQuery)
{
    return _bWriteQuery(pclQuery, L"SHOW INDEX FROM ");
}

unsigned short CMySQLDataSourceDescription::_nKeyType(const wchar_t* pszKey)
{
    if (pszKey == nullptr)
        return 0;
    if (wcsncasecmp(pszKey, L"PRI", 3) == 0)
        return 0x8800;
    if (wcsncasecmp(pszKey, L"UNI", 3) == 0)
        return 0x4800;
    return 0;
}

int CMySQLDataSourceDescription::_bInitItemFromQueryShowColumns(CNAStatementSQL* pclStatement)
{
    CShowResultReader reader(pclStatement, m_pclError, m_pclConnection);
    if (!reader.bReady())
        return 0;
    const bool b41 = _pclMySQLConnection()->bServerVersionGreaterThan4_1();
    unsigned nPhysical = 0;
    int nAutoKeys = 0;
    CTString csField, csType, csCollation, csNull, csKey, csDefault, csExtra;
    for (;;) {
        const int nRow = reader.nNextRow();
        if (nRow < 0)
            return 0;
        if (nRow == 0)
            return 1;
        unsigned nColumn = 0;
        bool bDefaultNull = false;
        if (!reader.bRead(nColumn++, &csField) || !reader.bRead(nColumn++, &csType))
            return 0;
        csCollation.Vide();
        if (b41 && !reader.bRead(nColumn++, &csCollation))
            return 0;
        if (!reader.bRead(nColumn++, &csNull) || !reader.bRead(nColumn++, &csKey) ||
            !reader.bRead(nColumn++, &csDefault, &bDefaultNull) || !reader.bRead(nColumn++, &csExtra))
            return 0;

        eNA_ITEMTYPE eType = NA_IT_EMPTY;
        unsigned nSize = 0, nIntegerDigits = 0, nDecimalDigits = 0;
        if (!m_pclConnection->bSQLTypeNameToNAType(m_pclError, &eType, &nSize, &nIntegerDigits, &nDecimalDigits,
                                                   csType.pszGet(), csCollation.pszGet()))
            return 0;
        MySQLColumnItemType(csType.pszGet(), csCollation.pszGet(), &eType, &nSize);
        unsigned short wKeyType = 0;
        int nKeyIndex = -1;
        // The extra text is compared as the server writes it, in lower case.
        if (_nKeyType(csKey.pszGet()) == 0x8800 && csExtra.nPos(L"auto_increment", 0) >= 0) {
            eType = nSize == 4 ? NA_IT_IDAUTO4 : NA_IT_IDAUTO;
            wKeyType = 0x8800;
            nKeyIndex = nAutoKeys++;
        }
        CNAItemDescription* pclItem =
            _pclNewItem(csField.pszGet(), pszGetDBTableName(), nSize, eType, nPhysical, nKeyIndex, wKeyType,
                        static_cast<int>(nIntegerDigits), static_cast<int>(nDecimalDigits));
        if (pclItem == nullptr)
            return 0;
        // The type as the server writes it: the writes of a YEAR look for it.
        pclItem->SetDBType(csType.pszGet(), 0);
        if (!csNull.bEstEgal(L"YES"))
            pclItem->SetNullable(0);
        _SetDefault(pclItem, csDefault, bDefaultNull);
        const int bAdded = _AddItem(pclItem);
        pclItem->nRelease();
        if (!bAdded)
            return 0;
        ++nPhysical;
    }
}

CNAItemDescription* CMySQLDataSourceDescription::_pclNewItem(const wchar_t* pszName, const wchar_t* pszSource,
                                                             unsigned nSize, eNA_ITEMTYPE eType, unsigned nPhysical,
                                                             int nKeyIndex, unsigned short wKeyType,
                                                             int nIntegerDigits, int nDecimalDigits)
{
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    CNAItemDescription* pclItem = pclDriver != nullptr ? pclDriver->pclAllocItemDescription() : nullptr;
    if (pclItem == nullptr) {
        if (m_pclError != nullptr)
            m_pclError->pclGetXError()->SetErrorNoMemory();
        return nullptr;
    }
    pclItem->AddRef();
    pclItem->bInit(pszName, pszSource, pszName, 1, nSize, eType, nPhysical, nKeyIndex, wKeyType, nIntegerDigits,
                   nDecimalDigits);
    return pclItem;
}

void CMySQLDataSourceDescription::_SetDefault(CNAItemDescription* pclItem, const CTString& csDefault, bool bNull)
{
    const unsigned short nZLType = pclItem->eGetItemZLType();
    CAny clDefault;
    clDefault.__SetType(nZLType, 0);
    if (bNull) {
        clDefault.SetNull();
        pclItem->SetDefaultValue(&clDefault, -1);
        return;
    }
    if (bDateOrTimeItem(pclItem->eNAGetItemType()) && !bDateTimeText(csDefault))
        return;
    CNADriver* pclDriver = CNADriver::s_pclDriver;
    // A default that cannot be converted is no error of the description:
    // the conversion reports into an error object of its own.
    CNAError* pclScratch = new (std::nothrow) CNAError;
    if (pclDriver == nullptr || pclScratch == nullptr) {
        delete pclScratch;
        return;
    }
    pclScratch->AddRef();
    CNAConvertVariant* pclHolder = pclDriver->pclAllocVariant(pclScratch, m_pclConnection);
    if (pclHolder != nullptr) {
        REF_AddRef(pclHolder);
        pclHolder->InitTypeVariantAny(nZLType, 0);
        pclHolder->SetItemDesc(pclItem, pclItem);
        if (pclHolder->bSetValueDB(csDefault.pszGet(), static_cast<long>(csDefault.nTaille())) &&
            pclHolder->bGetValue(&clDefault))
            pclItem->SetDefaultValue(&clDefault, -1);
        pclHolder->nRelease();
    }
    pclScratch->nRelease();
}
