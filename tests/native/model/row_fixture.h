#pragma once

// What the tests of identities, row values and the row cache stand on: the
// value fixture (the test driver, its error object and connection, value
// holders from the driver's factory), plus record buffers of given bytes and
// row values held until the end of the test. A record buffer of raw bytes is
// a record without flag items whose heap block is exactly that long, so that
// a read past a row's bytes is caught by the address sanitizer.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "native/model/qf_record.h"
#include "native/model/record_id.h"
#include "native/model/record_memo.h"
#include "native/model/record_value.h"
#include "tests/native/model/variant_fixture.h"

namespace vxtest {

// A record buffer holding exactly these bytes, without reference.
inline CNAQFRecord* RawRecord(const Octets& bytes)
{
    const uint32_t header[3] = {static_cast<uint32_t>(bytes.size()), 0, 0};
    Octets form(sizeof header + bytes.size());
    std::memcpy(form.data(), header, sizeof header);
    if (!bytes.empty())
        std::memcpy(form.data() + sizeof header, bytes.data(), bytes.size());
    auto* pclRecord = new CNAQFRecord;
    EXPECT_EQ(1, pclRecord->Deserialize(form.data(), form.size()));
    return pclRecord;
}

inline Octets Bytes(const char* psz)
{
    return Octets(psz, psz + std::strlen(psz));
}

// The bytes of a row's buffer; empty without buffer.
inline Octets RowBytes(const CNARecordValue& row)
{
    const CNAQFRecord* pclRecord = row.pclGetNAQFRecordNoRef();
    if (pclRecord == nullptr || pclRecord->pbyGetBuffer() == nullptr)
        return {};
    return Octets(pclRecord->pbyGetBuffer(), pclRecord->pbyGetBuffer() + pclRecord->nGetBufferSize());
}

class RowTest : public VariantTest
{
protected:
    void TearDown() override
    {
        for (CNARecordValue* pclRow : m_rows)
            pclRow->nRelease();
        m_rows.clear();
        VariantTest::TearDown();
    }

    // A row value on the fixture's error object, held until the end.
    CNARecordValue* EmptyRow()
    {
        auto* pclRow = new CNARecordValue(m_pclError);
        REF_AddRef(pclRow);
        m_rows.push_back(pclRow);
        return pclRow;
    }

    // A row of these bytes with an identity by values over itself (unless
    // bId is false).
    CNARecordValue* Row(const Octets& bytes, bool bId = true)
    {
        CNARecordValue* pclRow = EmptyRow();
        CNAQFRecord* pclRecord = RawRecord(bytes);
        EXPECT_EQ(1, pclRow->bCopyNAQFRecord(pclRecord));
        delete pclRecord;
        if (bId)
            pclRow->bShareRecordID(new CNARecordId_RecordValues(pclRow));
        return pclRow;
    }

    // Overwrites a row's bytes in place (same size).
    static void SetBytes(CNARecordValue* pclRow, const Octets& bytes)
    {
        CNAQFRecord* pclRecord = pclRow->pclGetNAQFRecordNoRef();
        ASSERT_EQ(bytes.size(), pclRecord->nGetBufferSize());
        std::memcpy(pclRecord->pbyGetBuffer(), bytes.data(), bytes.size());
    }

    // An 8-bit text holder (kind 1) of that text, held until the end.
    CNAConvertVariant* AnsiValue(const char* psz)
    {
        CNAConvertVariant* pclValue = AnyVariant(ZLTYPE_PSTRA);
        EXPECT_EQ(1, pclValue->bSetValue(psz, -1));
        return pclValue;
    }
    static std::string TextOf(const CNAConvertVariant* pclValue)
    {
        if (pclValue == nullptr)
            return "<none>";
        CAny clValue;
        if (!pclValue->bGetValue(&clValue))
            return "<unread>";
        if (clValue.bIsNull())
            return "<NULL>";
        const char* psz = nullptr;
        (void)clValue.Objet().nGetPCASTR(&psz);
        return psz != nullptr ? psz : "";
    }

    std::vector<CNARecordValue*> m_rows;
};

}  // namespace vxtest
