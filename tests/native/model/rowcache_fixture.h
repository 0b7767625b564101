#pragma once

// What the row cache's tests stand on: the row fixture plus one cache, made
// anew for each test (a saved-position cache where the test asks for one)
// and destroyed before the fixture checks that every reference on the error
// object was given back (the cache's template row holds one). Rows handed
// to the cache are made for the call and released after it, as a statement
// does with its current row.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

#include "native/model/record_cache.h"
#include "native/model/record_cache_position.h"
#include "tests/native/model/row_fixture.h"

namespace vxtest {

class RowCacheTest : public RowTest
{
protected:
    void SetUp() override
    {
        RowTest::SetUp();
        m_cache.reset(new CNARecordCache);
    }
    void TearDown() override
    {
        m_cache.reset();
        RowTest::TearDown();
    }

    // A row of these bytes with an identity by values and, when given, one
    // memo value (entry 0), for one call: released when the call is done.
    struct Temp
    {
        explicit Temp(CNARecordValue* pclRow) : p(pclRow) {}
        Temp(Temp&& other) noexcept : p(other.p) { other.p = nullptr; }
        Temp(const Temp&) = delete;
        Temp& operator=(const Temp&) = delete;
        ~Temp()
        {
            if (p != nullptr)
                p->nRelease();
        }
        CNARecordValue* p;
        operator CNARecordValue*() const { return p; }
        CNARecordValue* operator->() const { return p; }
    };
    Temp TempRow(const Octets& bytes, const char* pszMemo = nullptr)
    {
        auto* pclRow = new CNARecordValue(m_pclError);
        REF_AddRef(pclRow);
        CNAQFRecord* pclRecord = RawRecord(bytes);
        EXPECT_EQ(1, pclRow->bCopyNAQFRecord(pclRecord));
        delete pclRecord;
        pclRow->bShareRecordID(new CNARecordId_RecordValues(pclRow));
        if (pszMemo != nullptr) {
            CNAConvertVariant* pclValue = Driver()->pclAllocVariant(m_pclError, m_pclConnection);
            pclValue->InitTypeVariantAny(ZLTYPE_PSTRA, 0);
            EXPECT_EQ(1, pclValue->bSetValue(pszMemo, -1));
            EXPECT_EQ(1, pclRow->bShareMemoValue(0, pclValue));
        }
        return Temp(pclRow);
    }
    Temp TempEmptyRow()
    {
        auto* pclRow = new CNARecordValue(m_pclError);
        REF_AddRef(pclRow);
        return Temp(pclRow);
    }

    int Append(const Octets& bytes, const char* pszMemo = nullptr)
    {
        return m_cache->nAjoute(TempRow(bytes, pszMemo));
    }
    int Lookup(const Octets& bytes) { return m_cache->nGetRecordIndice(TempRow(bytes)); }
    // Row n's bytes read into a fresh row value; nothing when it cannot be
    // read.
    std::optional<Octets> Read(int n)
    {
        Temp row = TempEmptyRow();
        if (!m_cache->bGetAt(row, static_cast<unsigned>(n)))
            return std::nullopt;
        return RowBytes(*row.p);
    }
    // Row n's memo value 0 as text, "<none>" without.
    std::string MemoOf(int n)
    {
        Temp row = TempEmptyRow();
        if (!m_cache->bGetAt(row, static_cast<unsigned>(n)))
            return "<unread>";
        return TextOf(row->pclGetMemoValueNoRef(0));
    }
    int Position(long nFrom, int nDirection, long nCount) const
    {
        return m_cache->nGetPosition(nFrom, static_cast<eNA_PARSEDIRECTION>(nDirection), nCount);
    }

    std::unique_ptr<CNARecordCache, void (*)(CNARecordCache*)> m_cache{nullptr, [](CNARecordCache* p) { delete p; }};
};

}  // namespace vxtest
