// SQL elements of a command: sorted by start as unsigned numbers with the C
// library's qsort, equal starts comparing equal; counted in a list that
// takes one reference each; a release at count 0 does nothing.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "common/text/ref_array.h"
#include "native/access/sql_element.h"
#include "tests/host/support/test_environment.h"

namespace {

// The element that counts its destruction.
class CCountedElement : public CNASqlElt
{
public:
    CCountedElement(uint64_t nStart, int* pnDestroyed)
        : CNASqlElt(CNASqlElt::SQLELT_WHERE, nStart, nStart + 1), m_pnDestroyed(pnDestroyed)
    {
    }
    ~CCountedElement() override { ++*m_pnDestroyed; }

private:
    int* m_pnDestroyed;
};

int nCompare(const void* a, const void* b)
{
    return CNASqlElt::pfnCmpELT(static_cast<CNASqlElt* const*>(a), static_cast<CNASqlElt* const*>(b));
}

TEST(SqlElement, SortedByStartAsUnsignedNumbers)
{
    CNASqlElt huge(CNASqlElt::SQLELT_ORDERBY, UINT64_MAX, UINT64_MAX);
    CNASqlElt high(CNASqlElt::SQLELT_FROM, uint64_t{1} << 63, 0);
    CNASqlElt low(CNASqlElt::SQLELT_SELECT, 7, 12);
    CNASqlElt zero(CNASqlElt::SQLELT_WHERE, 0, 3);
    CNASqlElt* a = &high;
    CNASqlElt* b = &low;
    EXPECT_EQ(1, CNASqlElt::pfnCmpELT(&a, &b)) << "2^63 is above 7, not below";
    EXPECT_EQ(-1, CNASqlElt::pfnCmpELT(&b, &a));
    EXPECT_EQ(0, CNASqlElt::pfnCmpELT(&a, &a));

    std::vector<CNASqlElt*> elements{&huge, &high, &low, &zero};
    std::qsort(elements.data(), elements.size(), sizeof(CNASqlElt*), nCompare);
    EXPECT_EQ((std::vector<CNASqlElt*>{&zero, &low, &high, &huge}), elements);
    EXPECT_EQ(0, low.m_csText.nTaille()) << "made with an empty text";
    EXPECT_EQ(12u, low.m_nEnd);
}

TEST(SqlElement, AListHoldsOneReferenceOnEach)
{
    int nDestroyed = 0;
    auto* pclElement = new CCountedElement(4, &nDestroyed);
    {
        CRefArray<CNASqlElt> list(4);
        CRefArray<CNASqlElt>::_AddRef(pclElement);
        list.Ajoute(pclElement);
        CRefArray<CNASqlElt>::_AddRef(nullptr);
        EXPECT_EQ(1u, pclElement->m_dwRefCount);
    }
    EXPECT_EQ(1, nDestroyed) << "the list's release was the last";

    auto* pclHeld = new CCountedElement(5, &nDestroyed);
    CRefArray<CNASqlElt>::_Release(pclHeld);
    CRefArray<CNASqlElt>::_Release(nullptr);
    EXPECT_EQ(1, nDestroyed) << "a release at count 0 does nothing";
    EXPECT_EQ(0u, pclHeld->m_dwRefCount);
    // An element the host holds stays at 0.
    pclHeld->m_dwHoldCount = 1;
    CRefArray<CNASqlElt>::_AddRef(pclHeld);
    CRefArray<CNASqlElt>::_Release(pclHeld);
    EXPECT_EQ(1, nDestroyed);
    pclHeld->m_dwHoldCount = 0;
    delete pclHeld;
    EXPECT_EQ(2, nDestroyed);
}

}  // namespace
