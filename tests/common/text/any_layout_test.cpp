// The value record as the host shares it: 56 bytes, the per-type object's
// table pointer at offset 4, the type word at 12, the storage at 16, and the
// per-type classes' table in the host's slot order.
#include <cstddef>
#include <new>

#include "tests/common/text/any_fixture.h"

namespace {

using vxtest::HasClass;
using vxtest::TableOf;

// The table slot of a virtual member function, from the Itanium ABI's
// pointer-to-member form (the function's byte offset in the table plus one).
template <class F>
long SlotOf(F pmf)
{
    static_assert(sizeof(F) == 2 * sizeof(void*));
    struct Raw
    {
        uintptr_t ptr;
        ptrdiff_t adj;
    } raw;
    std::memcpy(&raw, &pmf, sizeof raw);
    EXPECT_EQ(1u, raw.ptr & 1) << "not a virtual function";
    return static_cast<long>((raw.ptr - 1) / sizeof(void*));
}

class AnyLayout : public vxtest::StrMemTest
{
};

TEST_F(AnyLayout, FieldsLieWhereTheHostReadsThem)
{
    // Values at both a 8-aligned and a 4-only-aligned address: the object is
    // then misaligned for its class, and every call must still work.
    alignas(8) unsigned char raw[2 * sizeof(CAny) + 4];
    for (size_t at : {size_t{0}, size_t{4}}) {
        CAny* v = new (raw + at) CAny;
        EXPECT_EQ(std::vector<unsigned char>(4, 0), vxtest::Bytes(raw + at, 4)) << "leading word";
        EXPECT_TRUE(HasClass<CAny_Intern>(*v));

        v->SetI4(0x11223344);
        const void* table;
        std::memcpy(&table, raw + at + 4, sizeof table);
        EXPECT_EQ(TableOf<CAny_ZLI4>(), table) << "table pointer at offset 4";
        uint16_t word;
        std::memcpy(&word, raw + at + 12, sizeof word);
        EXPECT_EQ(ZLTYPE_I4, word) << "type word at offset 12";
        EXPECT_EQ((std::vector<unsigned char>{0x44, 0x33, 0x22, 0x11}), vxtest::Bytes(raw + at + 16, 4))
            << "storage at offset 16";
        EXPECT_EQ(0, v->Objet().nIncremente());
        int n = 0;
        EXPECT_EQ(0, v->nGetINT(&n));
        EXPECT_EQ(0x11223345, n);

        v->__SetType(ZLTYPE_DSTRW, 0);
        EXPECT_EQ(0, v->Objet().SetValue(L"text", 16));
        const wchar_t* psz = nullptr;
        EXPECT_EQ(0, v->Objet().nGetPCWSTR(&psz));
        EXPECT_STREQ(L"text", psz);
        v->~CAny();
    }
}

TEST(AnyLayoutSlots, VirtualOperationsAreInTheHostsSlotOrder)
{
    EXPECT_EQ(SLOTANY_DETRUIT_SUPPRIME, SlotOf(&CAny_Intern::vDetruitSupprime));
    EXPECT_EQ(SLOTANY_DETRUIT, SlotOf(&CAny_Intern::vDetruit));
    EXPECT_EQ(SLOTANY_DUPLIQUE, SlotOf(&CAny_Intern::Duplique));
    EXPECT_EQ(SLOTANY_GETSIZE, SlotOf(&CAny_Intern::nGetSize));
    EXPECT_EQ(SLOTANY_GETADR, SlotOf(&CAny_Intern::nGetAdr));
    EXPECT_EQ(SLOTANY_FILLBUFFER, SlotOf(&CAny_Intern::nFillBuffer));
    EXPECT_EQ(SLOTANY_GETDATASIZE, SlotOf(&CAny_Intern::nGetDataSize));
    EXPECT_EQ(SLOTANY_GETDATAADR, SlotOf(&CAny_Intern::nGetDataAdr));
    EXPECT_EQ(SLOTANY_FILLDATABUFFER, SlotOf(&CAny_Intern::nFillDataBuffer));
    EXPECT_EQ(SLOTANY_SETVALUE, SlotOf(static_cast<int (CAny_Intern::*)(const void*)>(&CAny_Intern::SetValue)));
    EXPECT_EQ(SLOTANY_SETVALUE_N,
              SlotOf(static_cast<int (CAny_Intern::*)(const void*, unsigned long)>(&CAny_Intern::SetValue)));
    EXPECT_EQ(SLOTANY_GETPCASTR, SlotOf(&CAny_Intern::nGetPCASTR));
    EXPECT_EQ(SLOTANY_GETPCWSTR, SlotOf(&CAny_Intern::nGetPCWSTR));
    EXPECT_EQ(SLOTANY_GETSTRLEN, SlotOf(&CAny_Intern::nGetSTRLEN));
    EXPECT_EQ(SLOTANY_ISPOSITIVE, SlotOf(&CAny_Intern::bIsPositive));
    EXPECT_EQ(SLOTANY_GETUTILDATASIZE, SlotOf(&CAny_Intern::nGetUtilDataSize));
    EXPECT_EQ(SLOTANY_FILLUTILDATABUFFER, SlotOf(&CAny_Intern::nFillUtilDataBuffer));
    EXPECT_EQ(SLOTANY_INCREMENTE, SlotOf(&CAny_Intern::nIncremente));
    EXPECT_EQ(SLOTANY_DECREMENTE, SlotOf(&CAny_Intern::nDecremente));
    using From = int (CAny_Intern::*)(const void*);
    using FromN = int (CAny_Intern::*)(const void*, unsigned long);
    using FromCp = int (CAny_Intern::*)(int, const void*);
    using FromCpN = int (CAny_Intern::*)(int, const void*, unsigned long);
    EXPECT_EQ(SLOTANY_FROMANSI, SlotOf(static_cast<From>(&CAny_Intern::SetValueFromANSI)));
    EXPECT_EQ(SLOTANY_FROMANSI_N, SlotOf(static_cast<FromN>(&CAny_Intern::SetValueFromANSI)));
    EXPECT_EQ(SLOTANY_FROMUNICODE, SlotOf(static_cast<From>(&CAny_Intern::SetValueFromUNICODE)));
    EXPECT_EQ(SLOTANY_FROMUNICODE_N, SlotOf(static_cast<FromN>(&CAny_Intern::SetValueFromUNICODE)));
    EXPECT_EQ(SLOTANY_FROMANSI_CP, SlotOf(static_cast<FromCp>(&CAny_Intern::SetValueFromANSI_CP)));
    EXPECT_EQ(SLOTANY_FROMANSI_CP_N, SlotOf(static_cast<FromCpN>(&CAny_Intern::SetValueFromANSI_CP)));
    EXPECT_EQ(SLOTANY_FROMUNICODE_CP, SlotOf(static_cast<FromCp>(&CAny_Intern::SetValueFromUNICODE_CP)));
    EXPECT_EQ(SLOTANY_FROMUNICODE_CP_N, SlotOf(static_cast<FromCpN>(&CAny_Intern::SetValueFromUNICODE_CP)));
    EXPECT_EQ(SLOTANY_SETVALUEOPTION, SlotOf(&CAny_Intern::SetValueOption));
    EXPECT_EQ(SLOTANY_COUNT, 28);

    // The heap-text classes add theirs behind.
    using Create = int (CAny_ZLPSTRW::*)(const wchar_t*);
    using CreateN = int (CAny_ZLPSTRW::*)(const wchar_t*, unsigned long);
    EXPECT_EQ(SLOTANY_CREATESTR, SlotOf(static_cast<Create>(&CAny_ZLPSTRW::__CreateStr)));
    EXPECT_EQ(SLOTANY_CREATESTR_N, SlotOf(static_cast<CreateN>(&CAny_ZLPSTRW::__CreateStr)));
    EXPECT_EQ(SLOTANY_DELETESTR, SlotOf(&CAny_ZLPSTRA::__DeleteStr));
}

// Slots 1 and 2 end the value without freeing anything (the value lives on
// the stack here: a free would be caught) and leave the empty value.
TEST_F(AnyLayout, DestructorSlotsReleaseAndEmptyWithoutFreeing)
{
    for (int slot : {SLOTANY_DETRUIT_SUPPRIME, SLOTANY_DETRUIT}) {
        CAny v;
        v.__SetType(ZLTYPE_DSTRW, 0);
        ASSERT_EQ(0, v.Objet().SetValue(L"held", 16));
        ASSERT_EQ(1, A().LiveBlocks() - m_liveBefore);
        v.SetNull();
        v.Objet()._Appel<void>(slot);
        EXPECT_EQ(0, A().LiveBlocks() - m_liveBefore) << "slot " << slot;
        EXPECT_TRUE(HasClass<CAny_Intern>(v));
        EXPECT_EQ(0, v.wGetType());
        EXPECT_EQ(nullptr, vxtest::BlockOf(v));
    }
}

}  // namespace
