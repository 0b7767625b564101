// The numbers of saved positions, in an executable of their own: the
// process's first saved position gets 1, the numbers go on across every
// data access, a save that fails hands out none and a freed number is not
// given again.
#include <gtest/gtest.h>

#include "native/access/data_access.h"
#include "tests/native/access/browse_server_fixture.h"

namespace {

constexpr eNAPOSITION kMode = static_cast<eNAPOSITION>(0);

class PositionNumbers : public vxtest::BrowseOnServer
{
};

TEST_F(PositionNumbers, FromOneAcrossDataAccessesAndOnlyForSavesThatSucceed)
{
    CNADataAccess* pclFirst = OpenRows(3, "a");
    CNADataAccess* pclSecond = OpenRows(3, "b");
    Read(pclFirst, L"id", NADirection::kFirst);
    Read(pclSecond, L"v", NADirection::kLast);
    struct Step
    {
        const char* pszWhat;
        CNADataAccess* pclAccess;
        const wchar_t* pszItem;
        bool bNoStatement;
        int bResult;
        int nId;
        bool bFree;
    };
    const Step steps[] = {
        {"the process's first save", pclFirst, L"id", false, 1, 1, false},
        {"another data access", pclSecond, L"v", false, 1, 2, false},
        {"a save that fails", pclFirst, L"new", true, 0, -1, false},
        {"after the failure", pclSecond, L"v", false, 1, 3, true},
        {"a freed number is not given again", pclFirst, L"id", false, 1, 4, false},
    };
    for (const Step& s : steps) {
        m_bNoStatement = s.bNoStatement;
        int nId = 0;
        EXPECT_EQ(s.bResult, s.pclAccess->bHSauvePosition(&nId, s.pszItem, kMode)) << s.pszWhat;
        EXPECT_EQ(s.nId, nId) << s.pszWhat;
        if (s.bFree)
            EXPECT_EQ(1, s.pclAccess->bHLiberePosition(nId)) << s.pszWhat;
    }
    EXPECT_EQ(5, CNADataAccess::ms_nPositionID);
}

}  // namespace
