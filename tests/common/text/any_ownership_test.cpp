// What a value owns, shares or only points to: runtime blocks (counted
// against the stand-in allocator's live blocks), heap texts and arrays
// (AddressSanitizer's leak and use-after-free checks), and host objects
// (their own counts). Includes setting a value from what it already holds.
#include "tests/common/text/any_fixture.h"

namespace {

using vxtest::BlockOf;
using vxtest::FakeCounted;
using vxtest::FakeHostObject;
using vxtest::RefCount;

class AnyOwnership : public vxtest::StrMemTest
{
};

std::wstring WideText(const CAny& v)
{
    const wchar_t* psz = nullptr;
    EXPECT_EQ(0, v.Objet().nGetPCWSTR(&psz));
    return psz ? psz : L"<null>";
}

TEST_F(AnyOwnership, RuntimeBlocksAreSharedByReference)
{
    {
        CXYString<wchar_t> text(L"shared");
        CAny v;
        v.__SetType(ZLTYPE_DSTRW, 0);
        EXPECT_EQ(0, v.Objet().SetValue(&text));
        EXPECT_EQ(text.pbyGetBlock(), BlockOf(v));
        EXPECT_EQ(2u, RefCount(text));
        {
            CAny copy(v);
            EXPECT_EQ(3u, RefCount(text));
            CXYString<wchar_t> filled(L"old");
            EXPECT_EQ(0, copy.Objet().nFillBuffer(&filled));
            EXPECT_EQ(text.pbyGetBlock(), filled.pbyGetBlock());
            EXPECT_EQ(4u, RefCount(text));
        }
        EXPECT_EQ(2u, RefCount(text));
        // Sharing its own block changes nothing.
        EXPECT_EQ(0, v.Objet().SetValue(v._pbyGetValeur()));
        EXPECT_EQ(0, v.Objet().nFillBuffer(v._pbyGetValeur()));
        EXPECT_EQ(2u, RefCount(text));
        EXPECT_EQ(0, v.Objet().SetValue(nullptr));
        EXPECT_EQ(1u, RefCount(text));
        EXPECT_EQ(0, v.Objet().SetValue(&text));
        v.SetI4(1);
        EXPECT_EQ(1u, RefCount(text)) << "changing the type drops the reference";
    }
    EXPECT_EQ(m_liveBefore, A().LiveBlocks());
}

// CZLBIN::Assign releases before it shares: a binary value assigned to
// itself must keep its block.
TEST_F(AnyOwnership, BinaryValueSharedWithItselfKeepsItsBlock)
{
    CAny v;
    v.SetBIN(reinterpret_cast<const unsigned char*>("abc"), 3);
    unsigned char* block = BlockOf(v);
    ASSERT_EQ(1u, CBaseStrMem::s_nGetRefCount(block));
    EXPECT_EQ(0, v.Objet().SetValue(v._pbyGetValeur()));
    EXPECT_EQ(0, v.Objet().nFillBuffer(v._pbyGetValeur()));
    EXPECT_EQ(block, BlockOf(v));
    EXPECT_EQ(1u, CBaseStrMem::s_nGetRefCount(block));
    EXPECT_EQ(vxtest::Bytes("abc", 3), vxtest::Bytes(block, 3));

    CZLBIN other;
    EXPECT_EQ(0, v.Objet().nFillBuffer(&other));
    EXPECT_EQ(2u, CBaseStrMem::s_nGetRefCount(block));
    // Bytes taken from the value's own block.
    EXPECT_EQ(0, v.Objet().SetValue(block + 1, 2));
    EXPECT_EQ(vxtest::Bytes("bc", 2), vxtest::Bytes(BlockOf(v), 2));
    EXPECT_EQ(vxtest::Bytes("abc", 3), vxtest::Bytes(other.pbyGet(), 3)) << "copy-on-write";
}

// Heap texts are copied before the old one is freed.
TEST_F(AnyOwnership, HeapTextSetFromItselfOrAPartOfItself)
{
    CAny w;
    w.__SetType(ZLTYPE_PSTRW, 0);
    w.Objet().SetValue(L"abcdef");
    const wchar_t* held = w._tLit<const wchar_t*>();
    EXPECT_EQ(0, w.Objet().SetValue(held));
    EXPECT_EQ(held, w._tLit<const wchar_t*>()) << "the held text itself: nothing to do";
    EXPECT_EQ(0, w.Objet().SetValue(held + 2));
    EXPECT_EQ(L"cdef", WideText(w));
    held = w._tLit<const wchar_t*>();
    EXPECT_EQ(0, w.Objet().SetValue(held + 1, 8));
    EXPECT_EQ(L"de", WideText(w));
    held = w._tLit<const wchar_t*>();
    EXPECT_EQ(0, w.Objet().SetValueOption(held, 4, 1));
    EXPECT_EQ(L"de", WideText(w));
    held = w._tLit<const wchar_t*>();
    EXPECT_EQ(0, w.Objet().SetValueOption(held + 1, 1, 0));
    EXPECT_EQ(L"e", WideText(w));

    CAny a;
    a.__SetType(ZLTYPE_PSTRA, 0);
    a.Objet().SetValue("xyz");
    EXPECT_EQ(0, a.Objet().SetValue(a._tLit<const char*>() + 1));
    const char* psz = nullptr;
    a.Objet().nGetPCASTR(&psz);
    EXPECT_STREQ("yz", psz);

    CAny copy(a);
    EXPECT_NE(a._tLit<const char*>(), copy._tLit<const char*>()) << "copies own their text";
}

TEST_F(AnyOwnership, CountedObjectsCountEachHolder)
{
    for (unsigned short code : {ZLTYPE_MEMOIMG, ZLTYPE_POLICE, ZLTYPE_CONVOYEUR}) {
        SCOPED_TRACE(code);
        FakeCounted object, other;
        ASSERT_EQ(sizeof(void*), static_cast<size_t>(reinterpret_cast<char*>(&object.count) -
                                                     reinterpret_cast<char*>(&object)))
            << "the count lies right after the table pointer";
        {
            CAny v;
            v.__SetType(code, 0);
            EXPECT_EQ(0, v.Objet().SetValue(&object));
            EXPECT_EQ(2u, object.count);
            EXPECT_EQ(0, v.Objet().SetValue(&object));
            EXPECT_EQ(2u, object.count) << "the held object again: no count, no release";
            {
                CAny copy(v);
                EXPECT_EQ(3u, object.count);
            }
            EXPECT_EQ(2u, object.count);
            EXPECT_EQ(1, object.releases);
            EXPECT_EQ(0, v.Objet().SetValue(&other));
            EXPECT_EQ(2u, other.count);
            EXPECT_EQ(1u, object.count);
        }
        EXPECT_EQ(1u, other.count);
        EXPECT_EQ(0, object.otherCalls + other.otherCalls);

        // An unset value (null) copies as null, without counting anything.
        CAny unset;
        unset.__SetType(code, 0);
        unset.SetNull();
        CAny copy(unset);
        EXPECT_EQ(code | ANY_FLAG_NULL, copy.wGetType());
        EXPECT_EQ(nullptr, copy._tLit<void*>());
        EXPECT_EQ(0, copy.Objet().SetValue(nullptr));
    }
}

TEST_F(AnyOwnership, HostObjectsAddAReferenceBeforeReleasing)
{
    FakeHostObject object;
    {
        CAny v;
        v.__SetType(ZLTYPE_OBJET_BASE, 0);
        EXPECT_EQ(0, v.Objet().SetValue(&object));
        EXPECT_EQ(2, object.refs);
        // The only reference the host kept is the value's: setting the same
        // object again must not release it first.
        object.refs = 1;
        EXPECT_EQ(0, v.Objet().SetValue(&object));
        EXPECT_EQ(1, object.refs);
        EXPECT_EQ(0, object.releases);

        FakeHostObject other;
        EXPECT_EQ(0, v.Objet().SetValue(&other));
        EXPECT_EQ(2, other.refs);
        EXPECT_EQ(0, object.refs);
        object.refs = 1;
        EXPECT_EQ(0, v.Objet().SetValue(nullptr));
        EXPECT_EQ(1, other.refs);
    }

    // Copies of 108 and 141-143 are 108, copies of 111 are 111; neither
    // carries NULL or 0x400.
    for (unsigned short code : {ZLTYPE_OBJET_BASE, ZLTYPE_OBJET_TRAITEMENT, ZLTYPE_OBJET_143, ZLTYPE_DINO}) {
        CAny v;
        v.__SetType(code, 0);
        v.Objet().SetValue(&object);
        v._SetTypeWord(static_cast<unsigned short>(code | ANY_FLAGS));
        CAny copy(v);
        EXPECT_EQ(code == ZLTYPE_DINO ? ZLTYPE_DINO : ZLTYPE_OBJET_BASE, copy.wGetType()) << code;
        EXPECT_EQ(&object, copy._tLit<void*>());
        EXPECT_EQ(3, object.refs);
    }
    EXPECT_EQ(1, object.refs);
}

TEST_F(AnyOwnership, ArraysOwnTheirElements)
{
    CAny items[3];
    items[0].SetI4(1);
    items[1].__SetType(ZLTYPE_DSTRW, 0);
    items[1].Objet().SetValue(L"block", 20);
    items[2].__SetType(ZLTYPE_PSTRW, 0);
    items[2].Objet().SetValue(L"heap");
    const long live = A().LiveBlocks();

    CAny t;
    t.__SetType(ZLTYPE_TABANY, 0);
    EXPECT_EQ(0, t.Objet().SetValue(items, 3));
    EXPECT_EQ(live, A().LiveBlocks()) << "the block is shared, not copied";
    // Setting again frees the array held before (a leak otherwise).
    EXPECT_EQ(0, t.Objet().SetValue(items, 2));
    // From its own elements: copied before the old array goes.
    const STTabAny own = t._tLit<STTabAny>();
    EXPECT_EQ(0, t.Objet().SetValue(own.m_pclTab + 1, 1));
    const STTabAny now = t._tLit<STTabAny>();
    ASSERT_EQ(1u, now.m_nNbElement);
    EXPECT_EQ(L"block", WideText(now.m_pclTab[0]));

    // Taken over as it is; an array held before is ended.
    CAny* direct = CAny_ZLTABANY::s_pclNewTab(2);
    ASSERT_NE(nullptr, direct);
    direct[0].SetI2(7);
    CAny_ZLTABANY::s_SetDirect(&t, STTabAny{direct, 2});
    EXPECT_EQ(ZLTYPE_TABANY, t.wGetType());
    EXPECT_EQ(direct, t._tLit<STTabAny>().m_pclTab);
    CAny_ZLTABANY::s_SetDirect(&t, STTabAny{direct, 2});
    EXPECT_EQ(direct, t._tLit<STTabAny>().m_pclTab) << "the same array is kept, not freed";
    EXPECT_EQ(7, direct[0]._tLit<int16_t>());
    t.SetNull();
    CAny_ZLTABANY::s_SetDirect(&t, STTabAny{CAny_ZLTABANY::s_pclNewTab(1), 1});
    EXPECT_EQ(ZLTYPE_TABANY, t.wGetType()) << "flags cleared";
    CAny_ZLTABANY::s_SetDirect(&t, STTabAny{nullptr, 0});
    EXPECT_EQ(nullptr, t._tLit<STTabAny>().m_pclTab);

    // Copies of an array copy each element.
    t.Objet().SetValue(items, 3);
    t.SetNull();
    CAny copy(t);
    EXPECT_EQ(ZLTYPE_TABANY | ANY_FLAG_NULL, copy.wGetType());
    EXPECT_NE(t._tLit<STTabAny>().m_pclTab, copy._tLit<STTabAny>().m_pclTab);
    EXPECT_EQ(L"heap", WideText(copy._tLit<STTabAny>().m_pclTab[2]));
}

// A NULL dynamic string copies as a NULL string of the same block.
TEST_F(AnyOwnership, DupliqueOfANullStringSharesItsBlock)
{
    CAny v;
    v.__SetType(ZLTYPE_DSTRA, 0);
    v.Objet().SetValue("text", 4);
    v.SetNull();
    CAny target;
    target.__SetType(ZLTYPE_DSTRA, 0);
    v.Objet().Duplique(&target);
    EXPECT_EQ(ZLTYPE_DSTRA | ANY_FLAG_NULL, target.wGetType());
    EXPECT_EQ(BlockOf(v), BlockOf(target));
    EXPECT_EQ(2u, CBaseStrMem::s_nGetRefCount(BlockOf(v)));
    v.Objet().Duplique(&v);
    EXPECT_EQ(ZLTYPE_DSTRA | ANY_FLAG_NULL, v.wGetType()) << "a value duplicated into itself is left alone";

    // The empty value copies its flags only.
    CAny empty;
    empty.SetNull();
    CAny emptyCopy(empty);
    EXPECT_EQ(ANY_FLAG_NULL, emptyCopy.wGetType());
}

}  // namespace
