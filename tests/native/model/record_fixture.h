#pragma once

// What the tests of columns and of the current record stand on: the value
// fixture (the test driver with its error object and test connection, the
// stand-in machine), a description of the table CUSTOMER built item by item
// (and, when a test wants one, a database-side description of the same
// items), the test data access over it, and the current record that the
// data access makes and builds. The driver's slot 50 makes plain columns and
// slot 48 test data accesses.
//
// Every test ends with the record, the data access and the descriptions
// released: the model fixture then checks that no description is left and
// that every reference on the connection and the error object came back.
#include <gtest/gtest.h>

#include <initializer_list>
#include <string>

#include "common/text/any.h"
#include "common/text/xy_string_concat.h"
#include "native/model/column.h"
#include "native/model/convert_variant.h"
#include "native/model/qf_record.h"
#include "native/model/record.h"
#include "native/model/record_value.h"
#include "tests/fakes/test_data_access.h"
#include "tests/native/model/variant_fixture.h"

namespace vxtest {

constexpr unsigned kAppendItem = static_cast<unsigned>(-1);

class RecordTest : public VariantTest
{
protected:
    void Choose(CTestDriverChoices& choices) override
    {
        choices.allocColumn = PlainColumnFactory();
        choices.allocDataAccess = TestDataAccessFactory();
    }
    void SetUp() override
    {
        VariantTest::SetUp();
        m_source = NewDescription(L"CUSTOMER");
    }
    void TearDown() override
    {
        DropRecord();
        if (m_imported != nullptr)
            m_imported->nRelease();
        m_source->nRelease();
        VariantTest::TearDown();
    }

    // An item of the description (appended), with its key flags; its
    // source is CUSTOMER and its name in the source its own name.
    CNAItemDescription* Add(const wchar_t* name, eNA_ITEMTYPE type, unsigned size, unsigned short flags = 0,
                            int integerDigits = 0, int decimalDigits = 0)
    {
        return AddTo(m_source, name, type, size, flags, integerDigits, decimalDigits);
    }
    static CNAItemDescription* AddTo(CNADataSourceDescription* source, const wchar_t* name, eNA_ITEMTYPE type,
                                     unsigned size, unsigned short flags = 0, int integerDigits = 0,
                                     int decimalDigits = 0)
    {
        EXPECT_EQ(1, source->bAddItem(name, L"CUSTOMER", name, 1, size, type, kAppendItem, -1, flags, integerDigits,
                                      decimalDigits));
        return source->pclGetItemNoRef(source->nGetNumItems() - 1);
    }
    // A composite key over the named items (a BINAIRE item of size 0 grown
    // by its components, as the database's description makes them).
    CNAItemDescription* AddComposite(const wchar_t* name, unsigned short flags,
                                     std::initializer_list<const wchar_t*> components)
    {
        CNAItemDescription* key = Add(name, NA_IT_BINAIRE, 0, static_cast<unsigned short>(flags | 0x1000));
        for (const wchar_t* component : components)
            EXPECT_EQ(1, m_source->_bAddItemComponent(key, component));
        return key;
    }
    // The database-side description, made on first use.
    CNADataSourceDescription* Imported()
    {
        if (m_imported == nullptr)
            m_imported = NewDescription(L"CUSTOMER");
        return m_imported;
    }

    // The data access over the description and its record, built; the
    // record's answer.
    int Build(bool bReadsQuery = false)
    {
        m_source->UpdateRecordSize();
        if (m_imported != nullptr)
            m_imported->UpdateRecordSize();
        m_access = static_cast<CTestDataAccess*>(Driver()->pclAllocDataAccess(m_source, m_pclConnection, m_pclError));
        REF_AddRef(m_access);
        m_access->SetReadsQuery(bReadsQuery);
        m_record = m_access->_pclAllocRecord(m_pclError);
        REF_AddRef(m_record);
        return m_record->bInitRecord(m_source, m_imported, m_pclConnection);
    }
    void DropRecord()
    {
        if (m_record != nullptr)
            REF_Release(m_record);
        if (m_access != nullptr)
            REF_Release(m_access);
        m_record = nullptr;
        m_access = nullptr;
    }

    CNAColumn* Col(const wchar_t* name) const
    {
        CNAColumn* column = m_record->pclGetColumnNoRef(name);
        EXPECT_NE(nullptr, column) << name;
        return column;
    }
    CNAQFRecord* Current() const { return m_record->pclGetNAQFRecord(); }
    CNAQFRecord* Original() const { return m_record->pclGetOriginalNAQFRecord(); }

    // Runtime values.
    static CAny Int(int n)
    {
        CAny v;
        v.SetI4(n);
        return v;
    }
    static CAny Ansi(const char* psz)
    {
        CAny v;
        v.__SetType(ZLTYPE_PSTRA, 0);
        v.Objet().SetValue(psz);
        v.ClearFlags();
        return v;
    }
    static CAny Bin(const std::string& bytes)
    {
        CAny v;
        v.SetBIN(reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
        return v;
    }
    // The column's current value as text ("<NULL>" when NULL, "<failed>"
    // when it cannot be read).
    static std::wstring CurrentText(CNAColumn* column)
    {
        CAny v;
        if (!column->bGetCurrentValue(&v, 0))
            return L"<failed>";
        return v.bIsNull() ? L"<NULL>" : Text(v);
    }
    static std::wstring Dump(CNAColumn* column, int withName)
    {
        CXYStringConcat<wchar_t> text;
        column->bCurrentValueToString(&text, withName);
        return text.pszGet();
    }

    CNADataSourceDescription* m_source = nullptr;
    CNADataSourceDescription* m_imported = nullptr;
    CTestDataAccess* m_access = nullptr;
    CNARecord* m_record = nullptr;
};

}  // namespace vxtest
