// The user's search kept by a statement: its reference on the item held
// across a search set again on the same item, a copy onto itself or from
// an empty search, and the found answer without item.
#include <gtest/gtest.h>

#include "common/text/any.h"
#include "common/text/any_calcul.h"
#include "native/access/user_search.h"
#include "tests/common/text/any_vm_fixture.h"
#include "tests/fakes/fake_item_description.h"

namespace {

// Counts its references and notes the lowest count seen after a release:
// an item released before it is taken again would reach 0 on the way.
class CWatchedItem : public CFakeItemDescription
{
public:
    unsigned nExternalRelease() override
    {
        const unsigned nLeft = CFakeItemDescription::nExternalRelease();
        if (static_cast<int>(nLeft) < m_nLowest)
            m_nLowest = static_cast<int>(nLeft);
        return nLeft;
    }
    int m_nLowest = 1000;
};

CAny Int(int n)
{
    CAny value;
    value.SetI4(n);
    return value;
}

bool bSame(const CAny& a, const CAny& b)
{
    int bEqual = 0;
    return nEgalite(a, b, &bEqual, 0) == 0 && bEqual != 0;
}

class UserSearch : public vxtest::AnyVmTest
{
};

TEST_F(UserSearch, HoldsOneReferenceOnItsItem)
{
    CWatchedItem item;
    CWatchedItem other;
    {
        CNAUserSearch search;
        EXPECT_EQ(1, search.bGetHTrouve(nullptr)) << "without item every record is found";

        const CAny five = Int(5);
        search.SetUserSearch(&item, &five, CNAUserSearch::kGeneric);
        EXPECT_EQ(1, item.nRefBalance());
        // Again on the same item: taken before the former search lets go.
        const CAny six = Int(6);
        search.SetUserSearch(&item, &six, 0);
        EXPECT_EQ(1, item.nRefBalance());
        EXPECT_GE(item.m_nLowest, 1);
        EXPECT_TRUE(bSame(six, *search.pclGetValueNoRef()));
        EXPECT_EQ(0u, search.nGetOptions());

        // Its own value given back keeps it.
        search.SetUserSearch(&item, search.pclGetValueNoRef(), CNAUserSearch::kGeneric);
        EXPECT_TRUE(bSame(six, *search.pclGetValueNoRef()));
        EXPECT_EQ(1, item.nRefBalance());

        // A copy onto itself changes nothing.
        search.Copy(search);
        EXPECT_EQ(&item, search.piGetItemNoRef());
        EXPECT_TRUE(bSame(six, *search.pclGetValueNoRef()));
        EXPECT_EQ(CNAUserSearch::kGeneric, search.nGetOptions());
        EXPECT_EQ(1, item.nRefBalance());

        // A copy takes its own reference and value.
        CNAUserSearch copy;
        copy.Copy(search);
        EXPECT_EQ(2, item.nRefBalance());
        EXPECT_TRUE(bSame(six, *copy.pclGetValueNoRef()));
        EXPECT_EQ(CNAUserSearch::kGeneric, copy.nGetOptions());

        // A copy from an empty search empties.
        CNAUserSearch empty;
        copy.Copy(empty);
        EXPECT_EQ(nullptr, copy.piGetItemNoRef());
        EXPECT_EQ(0u, copy.nGetOptions());
        EXPECT_EQ(1, item.nRefBalance());
        EXPECT_EQ(1, copy.bGetHTrouve(nullptr));

        // Another item: the former one goes.
        copy.SetUserSearch(&other, &five, 0);
        EXPECT_EQ(1, other.nRefBalance());
        copy.CancelUserSearch();
        EXPECT_EQ(0, other.nRefBalance());
        EXPECT_EQ(nullptr, copy.piGetItemNoRef());
    }
    EXPECT_EQ(0, item.nRefBalance()) << "the destructor lets go";
}

}  // namespace
