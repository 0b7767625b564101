#pragma once

// The rows of a SHOW result read as texts, for the table description: one
// conversion value of wide text from the driver's variant factory serves
// every read, and each column's text is copied out of it. A row comes while
// the statement fetches one; a NULL value reads as the empty text, marked.
#include "common/text/ct_string.h"
#include "native/access/statement_sql.h"
#include "native/driver/driver.h"
#include "native/model/convert_variant.h"

class CShowResultReader
{
public:
    CShowResultReader(CNAStatementSQL* pclStatement, CNAError* pclError, CNAConnectionDescription* pclConnection)
        : m_pclStatement(pclStatement)
    {
        CNADriver* pclDriver = CNADriver::s_pclDriver;
        m_pclHolder = pclDriver != nullptr ? pclDriver->pclAllocVariant(pclError, pclConnection) : nullptr;
        if (m_pclHolder == nullptr)
            return;
        REF_AddRef(m_pclHolder);
        m_pclHolder->InitTypeVariantAny(ZLTYPE_DSTRW, 0);
    }
    ~CShowResultReader()
    {
        if (m_pclHolder != nullptr)
            m_pclHolder->nRelease();
    }
    CShowResultReader(const CShowResultReader&) = delete;
    CShowResultReader& operator=(const CShowResultReader&) = delete;

    // Whether a value holder could be had; nothing is read without one.
    bool bReady() const { return m_pclHolder != nullptr; }
    // 1 on a new row, 0 at the end of the rows, -1 when the fetch failed.
    int nNextRow()
    {
        if (!m_pclStatement->bFetch(0))
            return -1;
        return m_pclStatement->bHasCurrentRow() ? 1 : 0;
    }
    // Column n of the row into the text; false when it cannot be read.
    bool bRead(unsigned nColumn, CTString* pcsText, bool* pbNull = nullptr)
    {
        if (!m_pclStatement->bGetValue(m_pclHolder, nColumn, 0))
            return false;
        const bool bNull = m_pclHolder->pclGetValue()->bIsNull();
        if (pbNull != nullptr)
            *pbNull = bNull;
        const auto* pszText = static_cast<const wchar_t*>(m_pclHolder->pGetData());
        if (bNull || pszText == nullptr)
            pcsText->Vide();
        else
            pcsText->Set(pszText);
        return true;
    }

private:
    CNAStatementSQL* m_pclStatement;
    CNAConvertVariant* m_pclHolder = nullptr;
};
