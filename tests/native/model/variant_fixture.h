#pragma once

// What the value tests stand on: the model fixture (stand-in machine bound,
// the test driver with its error object and test connection), plus
// conversion values made by the driver's variant factory and held until the
// end of the test, and slots for them: each slot is a heap block of exactly
// its size, so that a write or a read past it is caught by the address
// sanitizer, not only by the test's own checks.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "native/model/convert_variant.h"
#include "native/model/item_type.h"
#include "native/model/variant_any.h"
#include "tests/native/model/model_fixture.h"

namespace vxtest {

using Octets = std::vector<unsigned char>;  // a buffer's bytes

class VariantTest : public ModelTest
{
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        Connection().SetRuntimeCodePage(1252);
        Connection().SetClientTextCodePage(1252);
    }

    void TearDown() override
    {
        for (CNAConvertVariant* pclVariant : m_variants)
            pclVariant->nRelease();
        m_variants.clear();
        m_slots.clear();
        ModelTest::TearDown();
    }

    CTestConnection& Connection() { return *static_cast<CTestConnection*>(m_pclConnection); }

    // A new value (kind 0) from the driver's factory on the fixture's error
    // object and connection, held until the end of the test.
    CNAConvertVariant* NewVariant()
    {
        CNAConvertVariant* pclVariant = Driver()->pclAllocVariant(m_pclError, m_pclConnection);
        EXPECT_NE(nullptr, pclVariant);
        REF_AddRef(pclVariant);
        m_variants.push_back(pclVariant);
        return pclVariant;
    }

    // A kind-1 value of the code.
    CNAConvertVariant* AnyVariant(unsigned short nCode)
    {
        CNAConvertVariant* pclVariant = NewVariant();
        pclVariant->InitTypeVariantAny(nCode, 0);
        return pclVariant;
    }

    // An item of the table CUSTOMER, held until the end of the test.
    CNAItemDescription* Item(eNA_ITEMTYPE eType, unsigned nSize, int nIntegerDigits = 0, int nDecimalDigits = 0)
    {
        CNAItemDescription* pclItem = NewItem(L"ITEM", eType, nSize, nIntegerDigits, nDecimalDigits);
        pclItem->SetSourceName(L"CUSTOMER");
        return pclItem;
    }

    // A kind-3 value bound to a slot of nSize bytes of an item of the type
    // (analysis and database item), the slot filled with the byte given.
    CNAConvertVariant* SlotVariant(eNA_ITEMTYPE eType, unsigned nSize, int nIntegerDigits = 0,
                                   int nDecimalDigits = 0, unsigned char byFill = 0)
    {
        CNAItemDescription* pclItem = Item(eType, nSize, nIntegerDigits, nDecimalDigits);
        CNAConvertVariant* pclVariant = NewVariant();
        Octets& slot = m_slots[pclVariant];
        slot.assign(nSize, byFill);
        slot.shrink_to_fit();
        EXPECT_EQ(1, pclVariant->bInitTypeVariant(NA_VT_RECORD, slot.data(), nSize, ConverteItemToZLType(eType)));
        pclVariant->SetItemDesc(pclItem, pclItem);
        return pclVariant;
    }

    // A kind-5 value of the code with an own buffer of nSize bytes, bound to
    // no item.
    CNAConvertVariant* OwnBufferVariant(unsigned short nCode, unsigned long nSize)
    {
        CNAConvertVariant* pclVariant = NewVariant();
        EXPECT_EQ(1, pclVariant->bInitTypeVariantBuffer(nCode, nSize));
        return pclVariant;
    }

    Octets& Slot(const CNAConvertVariant* pclVariant) { return m_slots.at(pclVariant); }

    // The bytes of the value's buffer.
    static Octets BufferBytes(const CNAConvertVariant& v)
    {
        const unsigned char* p = static_cast<const unsigned char*>(v.pGetData());
        return p != nullptr ? Octets(p, p + v.nGetBufferSize()) : Octets();
    }
    // The 8-bit text of a buffer up to its first zero (within the buffer).
    static std::string AnsiText(const CNAConvertVariant& v)
    {
        const Octets b = BufferBytes(v);
        std::string s;
        for (unsigned char c : b) {
            if (c == 0)
                break;
            s += static_cast<char>(c);
        }
        return s;
    }
    // The UTF-16 units of a buffer up to its first zero unit.
    static std::u16string Units(const CNAConvertVariant& v)
    {
        const Octets b = BufferBytes(v);
        std::u16string s;
        for (size_t i = 0; i + 1 < b.size(); i += 2) {
            const char16_t c = static_cast<char16_t>(b[i] | b[i + 1] << 8);
            if (c == 0)
                break;
            s += c;
        }
        return s;
    }
    // The value read out (bGetValue) as text; "<unread>" when it cannot be.
    static std::wstring ValueText(const CNAConvertVariant& v)
    {
        CAny clValue;
        if (!v.bGetValue(&clValue))
            return L"<unread>";
        if (clValue.bIsNull())
            return L"<NULL>";
        return Text(clValue);
    }
    static unsigned short Code(const CNAConvertVariant& v) { return v.pclGetValue()->nGetTypeCode(); }
    // A NULL runtime value of the code.
    static CAny Null(unsigned short code)
    {
        CAny v;
        v.__SetType(code, 0);
        v.SetNull();
        return v;
    }
    // The useful bytes of a value's data (a text without its terminator).
    static std::string Content(const CAny& v)
    {
        unsigned long n = 0;
        const void* p = NA_pGetAnyData(v, &n);
        return p != nullptr ? std::string(static_cast<const char*>(p), NA_nGetAnyUtilSize(v)) : std::string();
    }
    // A file's whole content.
    static std::string ReadAll(const std::string& path)
    {
        std::ifstream f(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    }
    static bool IsNull(const CNAConvertVariant& v) { return v.pclGetValue()->bIsNull(); }

    // Whether the error object is empty.
    bool NoError() const { return m_pclError->dwGetErrorId() == 0 && m_pclError->eGetErrorType() == NA_ERR_NONE; }

    std::vector<CNAConvertVariant*> m_variants;
    std::map<const CNAConvertVariant*, Octets> m_slots;
};

}  // namespace vxtest
