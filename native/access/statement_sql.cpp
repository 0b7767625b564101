// The execution statement's numbering, life, result columns and the base
// answers of its client-dependent operations.
#include "native/access/statement_sql.h"

#include <new>

#include "native/driver/connection_description.h"
#include "native/driver/driver.h"
#include "native/driver/error_object.h"
#include "native/driver/error_sites.h"
#include "native/model/column_sql.h"
#include "native/model/convert_variant.h"

uint32_t CNAStatementSQL::m_gnStmtGenerator = 0;

CNAStatementSQL::CNAStatementSQL(CNAConnectionDescription* pclConnection, CNAError* pclError)
    : m_pclError(pclError), m_pclConnection(pclConnection), m_nStatementID(++m_gnStmtGenerator)
{
    if (m_pclError != nullptr)
        m_pclError->AddRef();
    if (m_pclConnection != nullptr)
        REF_AddRef(m_pclConnection);
}

CNAStatementSQL::~CNAStatementSQL()
{
    if (m_pclVariant != nullptr) {
        CNAConvertVariant* pclVariant = m_pclVariant;
        m_pclVariant = nullptr;
        pclVariant->nRelease();
    }
    _FreeColumns();
    if (m_pclConnection != nullptr) {
        CNAConnectionDescription* pclConnection = m_pclConnection;
        m_pclConnection = nullptr;
        // Through the driver: a statement that outlived every other user of
        // its connection (a kept result whose handle connection was closed)
        // closes the connection as the last user does.
        CNADriver::g_nReleaseConnection(pclConnection);
    }
    if (m_pclError != nullptr) {
        CNAError* pclError = m_pclError;
        m_pclError = nullptr;
        pclError->nRelease();
    }
}

void CNAStatementSQL::_FreeColumns()
{
    // delete[] destroys the descriptions from the last to the first.
    delete[] m_tabColumns;
    m_tabColumns = nullptr;
    m_nColumnsMade = 0;
    delete[] m_tabSpareColumns;
    m_tabSpareColumns = nullptr;
    m_nSpareColumns = 0;
}

void CNAStatementSQL::_SpareColumns()
{
    if (m_tabColumns == nullptr)
        return;
    delete[] m_tabSpareColumns;
    m_tabSpareColumns = m_tabColumns;
    m_nSpareColumns = m_nColumnsMade;
    m_tabColumns = nullptr;
    m_nColumnsMade = 0;
}

CNAColumnSQL* CNAStatementSQL::_pclMakeColumns(uint32_t nColumns, bool* pbReused)
{
    *pbReused = false;
    _SpareColumns();
    if (m_tabSpareColumns != nullptr && m_nSpareColumns == nColumns) {
        m_tabColumns = m_tabSpareColumns;
        m_tabSpareColumns = nullptr;
        m_nSpareColumns = 0;
        *pbReused = true;
    } else {
        m_tabColumns = new (std::nothrow) CNAColumnSQL[nColumns];
    }
    m_nColumnsMade = m_tabColumns != nullptr ? nColumns : 0;
    return m_tabColumns;
}

int CNAStatementSQL::bReset()
{
    (void)_bCloseParse();
    m_nRowCount = -1;
    m_nCurrentRow = -1;
    m_nColumnCount = 0;
    _SpareColumns();
    m_bNoCurrentRow = 1;
    m_nTotalMaxLength = 0;
    return 1;
}

int CNAStatementSQL::_bCloseParse()
{
    m_bParseOpened = 0;
    return 1;
}

int CNAStatementSQL::bGetColumnNbr(int* pnColumns, unsigned) const
{
    if (pnColumns != nullptr)
        *pnColumns = static_cast<int>(m_nColumnCount);
    return 1;
}

CNAColumnSQL* CNAStatementSQL::pclGetNAColumnSQL(int nColumn)
{
    if (nColumn < 0) {
        CNAError::g_RaiseSiteError(m_pclError, NASite::kColumnNegative, m_pclConnection, nullptr, nullptr, nColumn);
        return nullptr;
    }
    if (static_cast<uint32_t>(nColumn) >= m_nColumnCount) {
        CNAError::g_RaiseSiteError(m_pclError, NASite::kColumnPastResult, m_pclConnection, nullptr, nullptr, nColumn,
                                   static_cast<int>(m_nColumnCount));
        return nullptr;
    }
    if (m_tabColumns == nullptr && !_bInitTabNAColumn())
        return nullptr;
    return m_tabColumns != nullptr ? &m_tabColumns[nColumn] : nullptr;
}

// What the database driver's statement supplies.
int CNAStatementSQL::bPrepareSQL(CTStringConcatAW*)
{
    return 0;
}

int CNAStatementSQL::bExecutePreparedQuery(unsigned)
{
    return 0;
}

int CNAStatementSQL::bGetAffected_rows(unsigned long*)
{
    return 0;
}

int CNAStatementSQL::bFetch(unsigned)
{
    return 0;
}

int CNAStatementSQL::bDataSeek(long)
{
    return 0;
}

int CNAStatementSQL::bGetValue(CNAConvertVariant*, unsigned, unsigned)
{
    return 0;
}

int CNAStatementSQL::_bInitTabNAColumn()
{
    return 0;
}

int CNAStatementSQL::_bExecuteDirect(const char*, CTabValParser*, unsigned)
{
    return 0;
}
