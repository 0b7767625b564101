// Record identities of both kinds: their slots, serialized forms, hashes,
// comparisons and equality, clones and copies, texts, the hash-table
// functions the row cache keys with, and the data access that makes them.
#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

#include "common/text/hash_table_bounce.h"
#include "common/text/xy_string.h"
#include "tests/fakes/test_data_access.h"
#include "tests/native/abi_slots.h"
#include "tests/native/model/row_fixture.h"

namespace {

using vxtest::Bytes;
using vxtest::Octets;

template <class T>
T At(const Octets& form, size_t offset)
{
    T v;
    std::memcpy(&v, form.data() + offset, sizeof v);
    return v;
}

// Bytes in a heap block of exactly their size: a read past them is caught.
struct Exact
{
    explicit Exact(const Octets& bytes) : size(bytes.size()), p(new unsigned char[std::max<size_t>(size, 1)])
    {
        if (size > 0)
            std::memcpy(p.get(), bytes.data(), size);
    }
    size_t size;
    std::unique_ptr<unsigned char[]> p;
};

Octets Serialized(const CNARecordId& id)
{
    Octets form(id.nGetSerializedSize());
    EXPECT_EQ(1, id.Serialize(form.data(), form.size()));
    return form;
}

TEST(RecordIdSlots, InTheirOrder)
{
    vxtest::ExpectSlots("CNARecordId", {
        VX_SLOT(CNARecordId, dwRelease, 2),
        VX_SLOT(CNARecordId, eGetRecordIdType, 3),
        VX_SLOT(CNARecordId, pclGetClone, 4),
        VX_SLOT(CNARecordId, bEqualRecordId, 5),
        VX_SLOT(CNARecordId, bCopy, 6),
        VX_SLOT(CNARecordId, nGetSerializedSize, 7),
        VX_SLOT(CNARecordId, Serialize, 8),
        VX_SLOT(CNARecordId, DeSerialize, 9),
        VX_SLOT(CNARecordId, dwGetHashVal, 10),
        VX_SLOT(CNARecordId, RecordIdToString, 11),
        VX_SLOT(CNARecordId, SetHashTableFct_SerializedObject, 12),
    });
    EXPECT_EQ(13, VX_SLOT_COUNT(CNARecordId));
}

TEST(RecordIdValues, HashSumsLittleEndianWordsThenTailBytes)
{
    const struct
    {
        Octets bytes;
        uint32_t hash;
    } cases[] = {
        {{}, 0},
        {Bytes("abc"), 294},
        {{0x01, 0x00, 0x00, 0x00, 0x05}, 6},
        {Bytes("12345678"), 0x34333231u + 0x38373635u},
        // The sum wraps at 2^32.
        {{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x01}, 0xFFFFFFFFu},
        {{0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00, 0x80}, 0},
    };
    for (const auto& c : cases) {
        const Exact record(c.bytes);
        const CNARecordId_RecordValues id(record.p.get(), record.size, nullptr);
        EXPECT_EQ(c.hash, id.dwGetHashVal()) << c.bytes.size() << " bytes";
        EXPECT_EQ(c.hash, CNARecordId::g_dwPtrHashVal(Serialized(id).data()));
    }
}

TEST(RecordIdValues, SerializesTo28BytesHoldingAddresses)
{
    const Exact record(Octets(120, 0x41));
    const auto* pclMemo = reinterpret_cast<const CNARecordMemo*>(uintptr_t{0x1234567890});
    const CNARecordId_RecordValues id(record.p.get(), record.size, pclMemo);
    for (unsigned long n : {0ul, 1ul, 120ul, 100000ul}) {
        const Octets bytes(n, 7);
        const Exact other(bytes);
        EXPECT_EQ(28u, CNARecordId_RecordValues(other.p.get(), n, nullptr).nGetSerializedSize());
    }

    const Octets form = Serialized(id);
    ASSERT_EQ(28u, form.size());
    EXPECT_EQ(id.dwGetHashVal(), At<uint32_t>(form, 0));
    EXPECT_EQ(120u, At<uint64_t>(form, 4));
    EXPECT_EQ(reinterpret_cast<uintptr_t>(record.p.get()), At<uint64_t>(form, 12));
    EXPECT_EQ(0x1234567890u, At<uint64_t>(form, 20));

    // Back into another identity: the hash is not read.
    Octets altered = form;
    altered[0] ^= 0xFF;
    CNARecordId_RecordValues back(nullptr, 0, nullptr);
    ASSERT_EQ(1, back.DeSerialize(altered.data(), altered.size()));
    EXPECT_EQ(record.p.get(), back.pbyGetRecord());
    EXPECT_EQ(120u, back.llGetLength());
    EXPECT_EQ(pclMemo, back.pclGetMemoNoRef());
    EXPECT_EQ(form, Serialized(back));

    // Too short a buffer or form: nothing written, nothing read.
    Octets small(27, 0xEE);
    EXPECT_EQ(0, id.Serialize(small.data(), small.size()));
    EXPECT_EQ(Octets(27, 0xEE), small);
    EXPECT_EQ(0, back.DeSerialize(form.data(), 27));
    EXPECT_EQ(record.p.get(), back.pbyGetRecord());
}

TEST(RecordIdValues, ComparesRecordBytesNeverPastTheShorter)
{
    const struct
    {
        Octets a, b;
        int order;
    } cases[] = {
        {{}, {}, 0},
        {Bytes("abc"), Bytes("abc"), 0},
        {Bytes("abc"), Bytes("abd"), -1},
        {{0x80}, {0x7F}, 1},  // unsigned bytes
        {Bytes("ab"), Bytes("abc"), -1},
        {{}, Bytes("a"), -1},
        {Bytes("b"), Bytes("abc"), 1},
    };
    for (const auto& c : cases) {
        const Exact a(c.a), b(c.b);
        const Octets formA = Serialized(CNARecordId_RecordValues(a.p.get(), a.size, nullptr));
        const Octets formB = Serialized(CNARecordId_RecordValues(b.p.get(), b.size, nullptr));
        EXPECT_EQ(c.order, CNARecordId_RecordValues::g_nCompare_CNARecordId_RecordValues(formA.data(), formB.data()));
        EXPECT_EQ(-c.order, CNARecordId_RecordValues::g_nCompare_CNARecordId_RecordValues(formB.data(), formA.data()));
    }
}

TEST(RecordIdRowIdForms, ComparesValueBytesWithAPrefixFirst)
{
    const auto Form = [](const char* psz) {
        const uint32_t n = static_cast<uint32_t>(std::strlen(psz));
        Octets form(8 + n);
        std::memcpy(form.data() + 4, &n, 4);
        std::memcpy(form.data() + 8, psz, n);
        return form;
    };
    const struct
    {
        const char* a;
        const char* b;
        int order;
    } cases[] = {{"AB", "ABC", -1}, {"AB", "AB", 0}, {"", "", 0}, {"", "A", -1}, {"B", "AB", 1}, {"AC", "AB", 1}};
    for (const auto& c : cases) {
        const Octets a = Form(c.a), b = Form(c.b);
        EXPECT_EQ(c.order, CNARecordId_RowId::g_nCompare_CNARecordId_RowId(a.data(), b.data())) << c.a << " " << c.b;
        EXPECT_EQ(-c.order, CNARecordId_RowId::g_nCompare_CNARecordId_RowId(b.data(), a.data()));
    }
}

class RecordIds : public vxtest::RowTest
{
protected:
    // A row id in a holder with a buffer of its own of that capacity.
    CNARecordId_RowId* RowId(const char* psz, unsigned long nCapacity = 16)
    {
        CNAConvertVariant* pclValue = OwnBufferVariant(ZLTYPE_BIN, nCapacity);
        EXPECT_EQ(1, pclValue->bSetValue(reinterpret_cast<const unsigned char*>(psz), std::strlen(psz)));
        return Keep(new CNARecordId_RowId(pclValue));
    }
    template <class T>
    T* Keep(T* pclId)
    {
        pclId->dwAddRef();
        m_ids.emplace_back(pclId, [](CNARecordId* p) { p->dwRelease(); });
        return pclId;
    }
    void TearDown() override
    {
        m_ids.clear();
        vxtest::RowTest::TearDown();
    }
    std::vector<std::unique_ptr<CNARecordId, void (*)(CNARecordId*)>> m_ids;
};

TEST_F(RecordIds, StartWithoutReferenceAndTheHolderAddsTheFirst)
{
    CNARecordValue* pclRow = Row(Bytes("row"), false);
    auto* pclId = new CNARecordId_RecordValues(pclRow);
    EXPECT_EQ(0u, pclId->dwGetRefCount());
    pclRow->bShareRecordID(pclId);
    EXPECT_EQ(1u, pclId->dwGetRefCount());
    EXPECT_EQ(pclId, pclRow->pclGetRecordIDNoRef());

    CNAConvertVariant* pclValue = OwnBufferVariant(ZLTYPE_BIN, 8);
    const uint32_t nBefore = pclValue->m_dwRefCount;
    {
        auto* pclRowId = new CNARecordId_RowId(pclValue);
        EXPECT_EQ(0u, pclRowId->dwGetRefCount());
        EXPECT_EQ(nBefore + 1, pclValue->m_dwRefCount);
        pclRowId->dwAddRef();
        pclRowId->dwRelease();
    }
    EXPECT_EQ(nBefore, pclValue->m_dwRefCount) << "the holder's reference given back";
}

TEST_F(RecordIds, ValuesEqualByBytesWhateverTheirMemoSets)
{
    CNARecordValue* pclA = Row(Bytes("same bytes"));
    CNARecordValue* pclB = Row(Bytes("same bytes"));
    ASSERT_EQ(1, pclB->bShareMemoValue(0, AnsiValue("memo")));
    ASSERT_EQ(1, pclB->pclGetRecordIDNoRef()->bCopy(pclB, nullptr));
    const CNARecordId* pclIdA = pclA->pclGetRecordIDNoRef();
    const CNARecordId* pclIdB = pclB->pclGetRecordIDNoRef();
    EXPECT_NE(At<uint64_t>(Serialized(*pclIdA), 20), At<uint64_t>(Serialized(*pclIdB), 20));
    EXPECT_TRUE(pclIdA->bEqualRecordId(pclIdB));
    EXPECT_EQ(pclIdA->dwGetHashVal(), pclIdB->dwGetHashVal());

    EXPECT_FALSE(pclIdA->bEqualRecordId(Row(Bytes("same byteZ"))->pclGetRecordIDNoRef()));
    EXPECT_FALSE(pclIdA->bEqualRecordId(Row(Bytes("same byte"))->pclGetRecordIDNoRef()));
    const Exact none({});
    EXPECT_TRUE(CNARecordId_RecordValues(nullptr, 0, nullptr).bEqualRecordId(
        Keep(new CNARecordId_RecordValues(none.p.get(), 0, nullptr))));
}

TEST_F(RecordIds, KindsNeverEqualEvenOverTheSameRow)
{
    CNARecordValue* pclRow = Row(Bytes("AB"));
    CNARecordId_RowId* pclRowId = RowId("AB");
    const CNARecordId* pclValues = pclRow->pclGetRecordIDNoRef();
    EXPECT_FALSE(pclValues->bEqualRecordId(pclRowId));
    EXPECT_FALSE(pclRowId->bEqualRecordId(pclValues));
    EXPECT_FALSE(pclValues->bEqualRecordId(nullptr));
    EXPECT_FALSE(pclRowId->bEqualRecordId(nullptr));
    EXPECT_TRUE(pclValues->bEqualRecordId(pclValues));
    EXPECT_TRUE(pclRowId->bEqualRecordId(RowId("AB", 40)));
}

TEST_F(RecordIds, ValuesCloneAndCopyFollowTheGivenRow)
{
    CNARecordValue* pclFirst = Row(Bytes("first"));
    CNARecordValue* pclSecond = Row(Bytes("second row"));
    ASSERT_EQ(1, pclSecond->bShareMemoValue(0, AnsiValue("m")));
    CNARecordId* pclId = pclFirst->pclGetRecordIDNoRef();

    auto* pclClone = Keep(static_cast<CNARecordId_RecordValues*>(pclId->pclGetClone(pclSecond)));
    EXPECT_EQ(NA_RECORDID_VALUES, pclClone->eGetRecordIdType());
    EXPECT_EQ(pclSecond->pclGetNAQFRecordNoRef()->pbyGetBuffer(), pclClone->pbyGetRecord());
    EXPECT_EQ(10u, pclClone->llGetLength());
    EXPECT_EQ(pclSecond->pclGetRecordMemoNoRef(), pclClone->pclGetMemoNoRef());

    // bCopy ignores the other identity, even one of the other kind.
    auto* pclValues = static_cast<CNARecordId_RecordValues*>(pclId);
    EXPECT_EQ(1, pclValues->bCopy(pclSecond, RowId("xyz")));
    EXPECT_EQ(pclSecond->pclGetNAQFRecordNoRef()->pbyGetBuffer(), pclValues->pbyGetRecord());
    EXPECT_EQ(10u, pclValues->llGetLength());
    EXPECT_EQ(1, pclValues->bCopy(EmptyRow(), pclClone));
    EXPECT_EQ(nullptr, pclValues->pbyGetRecord());
    EXPECT_EQ(0u, pclValues->llGetLength());
    EXPECT_EQ(0u, pclValues->dwGetHashVal());
}

TEST_F(RecordIds, ValuesTextNamesTheLength)
{
    CNARecordValue* pclRow = Row(Octets(120, 'x'));
    const CNARecordId* pclId = pclRow->pclGetRecordIDNoRef();
    const struct
    {
        const wchar_t* prefix;
        std::wstring text;
    } cases[] = {
        {L"<Record ID> : ", L"<Record ID> : record values (120 bytes)"},
        {nullptr, L"record values (120 bytes)"},
        {L"", L"record values (120 bytes)"},
    };
    for (const auto& c : cases) {
        CXYString<wchar_t> text(L"old text");
        pclId->RecordIdToString(&text, c.prefix, 1);
        EXPECT_EQ(c.text, text.pszGet());
    }
}

TEST_F(RecordIds, RowIdFormHoldsTheValueWithinTheReportedSize)
{
    CNARecordId_RowId* pclId = RowId("AB", 16);
    EXPECT_EQ(NA_RECORDID_ROWID, pclId->eGetRecordIdType());
    EXPECT_EQ(8u + 16u, pclId->nGetSerializedSize());
    EXPECT_EQ(pclId->pclGetValueNoRef()->nChecksum32(), pclId->dwGetHashVal());

    const Octets form = Serialized(*pclId);
    EXPECT_EQ(pclId->dwGetHashVal(), At<uint32_t>(form, 0));
    const uint32_t n = At<uint32_t>(form, 4);
    ASSERT_LE(n, 16u);
    EXPECT_EQ(pclId->pclGetValueNoRef()->nGetSize(), n);
    EXPECT_EQ(Bytes("AB"), Octets(form.begin() + 8, form.begin() + 8 + 2));

    // Read back into another holder: equal, and it hashes alike.
    CNARecordId_RowId* pclBack = RowId("something else");
    ASSERT_EQ(1, pclBack->DeSerialize(form.data(), form.size()));
    EXPECT_TRUE(pclBack->bEqualRecordId(pclId));
    EXPECT_EQ(pclId->dwGetHashVal(), pclBack->dwGetHashVal());
    EXPECT_EQ(0, CNARecordId_RowId::g_nCompare_CNARecordId_RowId(form.data(), Serialized(*pclBack).data()));

    // A form whose length runs past the bytes given is refused.
    EXPECT_EQ(0, pclBack->DeSerialize(form.data(), 8 + n - 1));
    EXPECT_EQ(0, pclBack->DeSerialize(form.data(), 7));
    Octets small(8 + n - 1);
    EXPECT_EQ(0, pclId->Serialize(small.data(), small.size()));

    // A value larger than its holder's capacity still fits the reported size.
    CNAConvertVariant* pclAny = AnyVariant(ZLTYPE_BIN);
    ASSERT_EQ(1, pclAny->bSetValue(reinterpret_cast<const unsigned char*>("0123456789"), 10));
    CNARecordId_RowId* pclLarge = Keep(new CNARecordId_RowId(pclAny));
    EXPECT_GE(pclLarge->nGetSerializedSize(), 8u + pclAny->nGetSize());
    Serialized(*pclLarge);
}

TEST_F(RecordIds, RowIdsCompareAndHashByValue)
{
    const Octets ab = Serialized(*RowId("AB")), abc = Serialized(*RowId("ABC")), ab2 = Serialized(*RowId("AB", 40));
    EXPECT_EQ(-1, CNARecordId_RowId::g_nCompare_CNARecordId_RowId(ab.data(), abc.data()));
    EXPECT_EQ(1, CNARecordId_RowId::g_nCompare_CNARecordId_RowId(abc.data(), ab.data()));
    EXPECT_EQ(0, CNARecordId_RowId::g_nCompare_CNARecordId_RowId(ab.data(), ab2.data()));
    EXPECT_EQ(At<uint32_t>(ab, 0), At<uint32_t>(ab2, 0));
    EXPECT_FALSE(RowId("AB")->bEqualRecordId(RowId("ABC")));
}

TEST_F(RecordIds, RowIdCloneHasItsOwnHolderAndCopyTakesTheValue)
{
    CNARecordId_RowId* pclId = RowId("AB");
    auto* pclClone = Keep(static_cast<CNARecordId_RowId*>(pclId->pclGetClone(nullptr)));
    ASSERT_NE(nullptr, pclClone);
    EXPECT_NE(pclId->pclGetValueNoRef(), pclClone->pclGetValueNoRef());
    EXPECT_EQ(1u, pclClone->pclGetValueNoRef()->m_dwRefCount);
    EXPECT_TRUE(pclClone->bEqualRecordId(pclId));

    CNARecordId_RowId* pclOther = RowId("XYZ");
    EXPECT_EQ(1, pclClone->bCopy(nullptr, pclOther));
    EXPECT_TRUE(pclClone->bEqualRecordId(pclOther));
    EXPECT_FALSE(pclId->bEqualRecordId(pclOther));
    EXPECT_EQ(0, pclClone->bCopy(nullptr, Row(Bytes("XYZ"))->pclGetRecordIDNoRef()));
    EXPECT_EQ(0, pclClone->bCopy(nullptr, nullptr));
}

TEST_F(RecordIds, RowIdTextIsTheValuesText)
{
    CNARecordId_RowId* pclId = RowId("AB");
    CXYString<wchar_t> expected, text;
    pclId->pclGetValueNoRef()->GetString(&expected, L"id: ", 1);
    pclId->RecordIdToString(&text, L"id: ", 1);
    EXPECT_EQ(std::wstring(expected.pszGet()), text.pszGet());
    EXPECT_EQ(0u, std::wstring(text.pszGet()).find(L"id: "));
}

TEST_F(RecordIds, HashTableFindsEqualIdentitiesByTheirForms)
{
    const char* texts[] = {"alpha", "beta", "gamma", "delta", "alphb", "ab"};
    std::vector<Octets> values, rowIds;
    std::vector<CNARecordValue*> rows;
    for (const char* psz : texts) {
        rows.push_back(Row(Bytes(psz)));
        values.push_back(Serialized(*rows.back()->pclGetRecordIDNoRef()));
        rowIds.push_back(Serialized(*RowId(psz)));
    }
    CHashTableBounce byValues(7), byRowIds(7);
    rows[0]->pclGetRecordIDNoRef()->SetHashTableFct_SerializedObject(&byValues);
    RowId("x")->SetHashTableFct_SerializedObject(&byRowIds);
    EXPECT_EQ(&CNARecordId::g_dwPtrHashVal, byValues.pfGetHashVal());
    EXPECT_EQ(&CNARecordId_RecordValues::g_nCompare_CNARecordId_RecordValues, byValues.pfGetCmp());
    EXPECT_EQ(&CNARecordId_RowId::g_nCompare_CNARecordId_RowId, byRowIds.pfGetCmp());
    for (size_t i = 0; i < values.size(); ++i) {
        ASSERT_EQ(1, byValues.bAddElement(values[i].data(), reinterpret_cast<void*>(i)));
        ASSERT_EQ(1, byRowIds.bAddElement(rowIds[i].data(), reinterpret_cast<void*>(i)));
    }
    for (size_t i = 0; i < values.size(); ++i) {
        // Keys made afresh, at other addresses, over rows of equal bytes.
        const Octets value = Serialized(*Row(Bytes(texts[i]))->pclGetRecordIDNoRef());
        const Octets rowId = Serialized(*RowId(texts[i], 64));
        void* pFound = nullptr;
        ASSERT_EQ(1, byValues.bGetElement(value.data(), &pFound, nullptr)) << texts[i];
        EXPECT_EQ(i, reinterpret_cast<size_t>(pFound));
        ASSERT_EQ(1, byRowIds.bGetElement(rowId.data(), &pFound, nullptr)) << texts[i];
        EXPECT_EQ(i, reinterpret_cast<size_t>(pFound));
    }
    const Octets absent = Serialized(*Row(Bytes("omega"))->pclGetRecordIDNoRef());
    EXPECT_EQ(0, byValues.bGetElement(absent.data(), nullptr, nullptr));
    const Octets absentRowId = Serialized(*RowId("alph"));
    EXPECT_EQ(0, byRowIds.bGetElement(absentRowId.data(), nullptr, nullptr));
}

class DataAccessRecordIds : public RecordIds
{
protected:
    void Choose(CTestDriverChoices& choices) override
    {
        choices.allocVariantRowID = [this](CNAError* pclError, CNAConnectionDescription* pclConnection) {
            m_nRowIdHolders++;
            CNAConvertVariant* pclValue = Driver()->pclAllocVariant(pclError, pclConnection);
            pclValue->InitTypeVariantAny(ZLTYPE_BIN, 0);
            return pclValue;
        };
    }
    int m_nRowIdHolders = 0;
};

TEST_F(DataAccessRecordIds, MakesTheKindItsRowsAreIdentifiedBy)
{
    auto* pclAccess = new CTestDataAccess(nullptr, m_pclConnection, m_pclError);
    REF_AddRef(pclAccess);
    CNARecordValue* pclRow = Row(Bytes("row bytes"), false);

    CNARecordId* pclId = Keep(pclAccess->pclAllocRecordID(pclRow));
    ASSERT_EQ(NA_RECORDID_VALUES, pclId->eGetRecordIdType());
    EXPECT_EQ(pclRow->pclGetNAQFRecordNoRef()->pbyGetBuffer(),
              static_cast<CNARecordId_RecordValues*>(pclId)->pbyGetRecord());
    EXPECT_EQ(0, m_nRowIdHolders);

    pclAccess->SetRecordIdType(NA_RECORDID_ROWID);
    CNARecordId* pclRowId = Keep(pclAccess->pclAllocRecordID(pclRow));
    ASSERT_EQ(NA_RECORDID_ROWID, pclRowId->eGetRecordIdType());
    EXPECT_EQ(1, m_nRowIdHolders);
    EXPECT_EQ(1u, static_cast<CNARecordId_RowId*>(pclRowId)->pclGetValueNoRef()->m_dwRefCount);

    for (int eKind : {0, 2, 4, -1}) {
        pclAccess->SetRecordIdType(eKind);
        EXPECT_EQ(nullptr, pclAccess->pclAllocRecordID(pclRow)) << eKind;
    }
    pclAccess->nRelease();
}

TEST_F(RecordIds, NoRowIdWithoutTheDriversHolder)
{
    // The base driver makes no row-id holder (slot 45): no identity.
    auto* pclAccess = new CTestDataAccess(nullptr, m_pclConnection, m_pclError);
    REF_AddRef(pclAccess);
    pclAccess->SetRecordIdType(NA_RECORDID_ROWID);
    EXPECT_EQ(nullptr, pclAccess->pclAllocRecordID(Row(Bytes("r"), false)));
    pclAccess->nRelease();
}

}  // namespace
