// The image memo value: names, image object, binary data and the host's
// callbacks.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

#include "common/text/image_zl.h"
#include "common/text/zl_memo_image.h"
#include "tests/host/support/test_environment.h"

namespace {

template <typename MemberFn>
long SlotOf(MemberFn fn)
{
    struct Raw { uintptr_t ptr; ptrdiff_t adj; } raw;
    static_assert(sizeof(fn) == sizeof(raw));
    std::memcpy(&raw, &fn, sizeof raw);
    if ((raw.ptr & 1) == 0 || raw.adj != 0)
        return -1;
    return static_cast<long>((raw.ptr - 1) / sizeof(void*));
}

#define VX_UNUSED_SLOT(n) \
    void _Slot##n() override {}

// An image that deletes itself with its last reference, so that a release
// too many shows as a use after free; it exports its format number as one
// byte.
class FakeImage final : public IImageZL
{
public:
    static inline int s_nLive = 0;
    int m_nRefs = 0;
    int m_nQuery = 8;
    int m_nExports = 0;

    FakeImage() { ++s_nLive; }
    unsigned long AddRef() override { return static_cast<unsigned long>(++m_nRefs); }
    unsigned long Release() override
    {
        const int n = --m_nRefs;
        if (n == 0)
            delete this;
        return static_cast<unsigned long>(n);
    }
    int nQuery(int) override { return m_nQuery; }
    int nExport(int nFormat, CZLBIN* pBin) override
    {
        ++m_nExports;
        const unsigned char b = static_cast<unsigned char>(nFormat);
        return pBin->nAssign(&b, 1);
    }
    VX_UNUSED_SLOT(2) VX_UNUSED_SLOT(3) VX_UNUSED_SLOT(4) VX_UNUSED_SLOT(5) VX_UNUSED_SLOT(6) VX_UNUSED_SLOT(7)
    VX_UNUSED_SLOT(9) VX_UNUSED_SLOT(10) VX_UNUSED_SLOT(11) VX_UNUSED_SLOT(12) VX_UNUSED_SLOT(13)
    VX_UNUSED_SLOT(14) VX_UNUSED_SLOT(15) VX_UNUSED_SLOT(16) VX_UNUSED_SLOT(17) VX_UNUSED_SLOT(18)
    VX_UNUSED_SLOT(19) VX_UNUSED_SLOT(20) VX_UNUSED_SLOT(21) VX_UNUSED_SLOT(22) VX_UNUSED_SLOT(23)
    VX_UNUSED_SLOT(24) VX_UNUSED_SLOT(25) VX_UNUSED_SLOT(26) VX_UNUSED_SLOT(27) VX_UNUSED_SLOT(28)

private:
    ~FakeImage() { --s_nLive; }
};

TEST(ZLMemoImage, SlotsSitInTheHostsOrder)
{
    EXPECT_EQ(2, SlotOf(&CZLMemoImage::dwRelease));
    EXPECT_EQ(3, SlotOf(&CZLMemoImage::SetNomImage));
    EXPECT_EQ(4, SlotOf(&CZLMemoImage::SetNomTable));
    EXPECT_EQ(5, SlotOf(&CZLMemoImage::SetNomRubrique));
    EXPECT_EQ(6, SlotOf(&CZLMemoImage::SetChamp));
    EXPECT_EQ(7, SlotOf(&CZLMemoImage::SetCallback));
    EXPECT_EQ(8, SlotOf(&CZLMemoImage::SetContexteQF));
    EXPECT_EQ(9, SlotOf(&CZLMemoImage::SetNumEnr));
    EXPECT_EQ(10, SlotOf(&CZLMemoImage::SetNomTableNumEnr));
    EXPECT_EQ(11, SlotOf(&CZLMemoImage::SetNomRubriqueNumEnr));
    EXPECT_EQ(12, SlotOf(&CZLMemoImage::SetBinData));
    EXPECT_EQ(13, SlotOf(&CZLMemoImage::SetCallbackSauveZLBin));
    EXPECT_EQ(14, SlotOf(&CZLMemoImage::SetCallbackGetSourceImage));

    EXPECT_EQ(0, SlotOf(&IImageZL::AddRef));
    EXPECT_EQ(1, SlotOf(&IImageZL::Release));
    EXPECT_EQ(8, SlotOf(&IImageZL::nQuery));
    EXPECT_EQ(29, SlotOf(&IImageZL::nExport));
}

TEST(ZLMemoImage, NamesAreCopiesAndMayBeSetFromThemselves)
{
    using Setter = void (CZLMemoImage::*)(const wchar_t*);
    using Getter = const wchar_t* (CZLMemoImage::*)() const;
    const struct
    {
        Setter set;
        Getter get;
    } names[] = {
        {&CZLMemoImage::SetNomImage, &CZLMemoImage::pszGetNomImage},
        {&CZLMemoImage::SetNomTable, &CZLMemoImage::pszGetNomTable},
        {&CZLMemoImage::SetNomRubrique, &CZLMemoImage::pszGetNomRubrique},
        {&CZLMemoImage::SetNomTableNumEnr, &CZLMemoImage::pszGetNomTableNumEnr},
        {&CZLMemoImage::SetNomRubriqueNumEnr, &CZLMemoImage::pszGetNomRubriqueNumEnr},
    };
    CZLMemoImage* m = new CZLMemoImage;
    m->dwAddRef();
    EXPECT_EQ(-1, m->nGetNumEnr());
    EXPECT_EQ(0u, m->dwGetFlags());
    for (const auto& n : names) {
        EXPECT_EQ(nullptr, (m->*n.get)());
        wchar_t text[] = L"CLIENT";
        (m->*n.set)(text);
        text[0] = L'X';
        EXPECT_STREQ(L"CLIENT", (m->*n.get)());
        // The held text given back: copied before the old one is freed.
        (m->*n.set)((m->*n.get)());
        EXPECT_STREQ(L"CLIENT", (m->*n.get)());
        (m->*n.set)(nullptr);
        EXPECT_EQ(nullptr, (m->*n.get)());
        (m->*n.set)(L"ADRESSE");
    }
    m->SetNumEnr(42);
    EXPECT_EQ(42, m->nGetNumEnr());
    // The last reference frees the names that are still held.
    EXPECT_EQ(0u, m->dwRelease());
}

TEST(ZLMemoImage, ImageObjectIsCountedOnce)
{
    FakeImage::s_nLive = 0;
    FakeImage* a = new FakeImage;
    FakeImage* b = new FakeImage;
    {
        CZLMemoImage m;
        m.SetZLImage(a);
        EXPECT_EQ(1, a->m_nRefs);
        EXPECT_EQ(CZLMemoImage::FLAG_IMAGE, m.dwGetFlags() & CZLMemoImage::FLAG_IMAGE);
        // The object held, given again while it has no other reference.
        m.SetZLImage(a);
        EXPECT_EQ(1, a->m_nRefs);
        EXPECT_EQ(a, m.piGetZLImage());
        b->AddRef();
        m.SetZLImage(b);
        EXPECT_EQ(1, FakeImage::s_nLive);  // a went with its only reference
        EXPECT_EQ(2, b->m_nRefs);
        m.SetZLImage(nullptr);
        EXPECT_EQ(0u, m.dwGetFlags() & CZLMemoImage::FLAG_IMAGE);
        EXPECT_EQ(1, b->m_nRefs);
        m.SetZLImage(b);
    }
    // The memo's end released its reference.
    EXPECT_EQ(1, b->m_nRefs);
    b->Release();
    EXPECT_EQ(0, FakeImage::s_nLive);
}

TEST(ZLMemoImage, LoadTypes)
{
    struct Case
    {
        uint32_t before;
        int type;
        uint32_t after;
    } cases[] = {
        {0x0000, 1, 0x8000}, {0x8001, 0, 0x0001}, {0x8010, 2, 0x0010},
        {0x8000, 3, 0x0010}, {0x8001, 4, 0x8001}, {0x0001, -1, 0x0001},
    };
    for (const Case& c : cases) {
        CZLMemoImage m;
        if (c.before & 0x8000)
            m.SetLoadType(1);
        if (c.before & 0x0010)
            m.SetLoadType(3), m.SetLoadType(c.before & 0x8000 ? 1 : 0);
        if (c.before & 0x0001)
            m.SetBinData(CZLBIN());
        ASSERT_EQ(c.before, m.dwGetFlags()) << c.type;
        m.SetLoadType(c.type);
        EXPECT_EQ(c.after, m.dwGetFlags()) << c.type;
    }
}

int g_nSaves = 0;

void Save(CZLMemoImage* pMemo, int nFormat)
{
    ++g_nSaves;
    const unsigned char bytes[] = {0xAA, static_cast<unsigned char>(nFormat)};
    pMemo->SetBinData(CZLBIN(bytes, 2));
}

IImageZL* g_pSource = nullptr;

IImageZL* Source(CZLMemoImage* pMemo, void* pArg)
{
    EXPECT_EQ(pArg, static_cast<void*>(pMemo));
    return g_pSource;
}

TEST(ZLMemoImage, BinaryDataIsFilledOnDemand)
{
    const long nLive = vxtest::Allocator().LiveBlocks();
    {
        // Through the save callback, once: it sets the data.
        CZLMemoImage m;
        g_nSaves = 0;
        m.SetCallbackSauveZLBin(&Save);
        CZLBIN* p = m.pclGetBinDataEx(7);
        ASSERT_EQ(2, p->nGetTailleUtile());
        EXPECT_EQ(7, p->pbyGet()[1]);
        m.pclGetBinDataEx(9);
        EXPECT_EQ(1, g_nSaves);
    }
    {
        // Through the image object when its query answers more than 7.
        FakeImage* img = new FakeImage;
        CZLMemoImage m;
        m.SetZLImage(img);
        img->m_nQuery = 7;
        EXPECT_EQ(0, m.pclGetBinDataEx(3)->nGetTailleUtile());
        EXPECT_EQ(0, img->m_nExports);
        img->m_nQuery = 8;
        CZLBIN* p = m.pclGetBinDataEx(3);
        ASSERT_EQ(1, p->nGetTailleUtile());
        EXPECT_EQ(3, p->pbyGet()[0]);
        // Data that was set is never replaced.
        const unsigned char set[] = {1, 2, 3};
        m.SetBinData(CZLBIN(set, 3));
        EXPECT_EQ(3, m.pclGetBinDataEx(3)->nGetTailleUtile());
        EXPECT_EQ(1, img->m_nExports);
    }
    EXPECT_EQ(nLive, vxtest::Allocator().LiveBlocks());

    CZLMemoImage m;
    EXPECT_EQ(nullptr, m.piGetSourceImage(&m));
    FakeImage* img = new FakeImage;
    img->AddRef();
    g_pSource = img;
    m.SetCallbackGetSourceImage(&Source);
    EXPECT_EQ(img, m.piGetSourceImage(&m));
    img->Release();
}

}  // namespace
