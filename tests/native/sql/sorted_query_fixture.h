#pragma once

// A command fixture whose record's data access reads a query sorted on T
// descending and K ascending: the continuation and search tests ask how a
// descending sort in the query turns their operators.
#include "tests/native/sql/command_fixture.h"

template <class Base>
class SortedOnTDescending : public Base
{
protected:
    void TearDown() override
    {
        if (this->m_access != nullptr)
            this->m_access->SetSourceQuery(nullptr);
        if (m_pclOrdered != nullptr)
            m_pclOrdered->SetRecord(nullptr);
        Base::TearDown();
    }
    void SortTDescending()
    {
        StandinParsedQuery& parse = this->Parse({.text = L"SELECT K, T FROM CUSTOMER ORDER BY T DESC, K",
                                                 .from = {{.name = L"CUSTOMER"}},
                                                 .items = {{.item = L"K"}, {.item = L"T"}},
                                                 .orderBy = {{.nIndex = 1, .nDirection = 1}, {.nIndex = 0}}});
        m_pclOrdered = this->Query(parse);
        m_pclOrdered->SetRecord(this->m_record);
        this->m_access->SetReadsQuery(true);
        this->m_access->SetSourceQuery(m_pclOrdered);
    }
    CSQLParserInfo* m_pclOrdered = nullptr;
};
