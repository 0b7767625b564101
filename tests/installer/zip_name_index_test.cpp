#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <map>
#include <string>
#include <vector>

#include "installer/zip_name_index.h"

namespace {

TEST(ZipNameIndex, Djb2OverUpperCase)
{
    uint32_t h = 5381;
    for (wchar_t c : std::wstring(L"AB/C.TXT"))
        h = h * 33 + static_cast<uint32_t>(c);
    EXPECT_EQ(CZipNameIndex::s_dwHash(L"ab/c.txt"), h);
    EXPECT_EQ(CZipNameIndex::s_dwHash(L"AB/c.Txt"), h);
    EXPECT_EQ(CZipNameIndex::s_dwHash(L""), 5381u);
}

TEST(ZipNameIndex, GrowsThroughThePrimesAndKeepsEveryValue)
{
    CZipNameIndex index;
    EXPECT_EQ(index.nGetNbBuckets(), 0);
    std::vector<std::wstring> names;
    for (int i = 0; i < 5000; ++i)
        names.push_back(L"dir/file" + std::to_wstring(i));
    for (int i = 0; i < 5000; ++i) {
        ASSERT_TRUE(index.bAjoute(names[i].c_str(), i));
        if (i == 0) {
            EXPECT_EQ(index.nGetNbBuckets(), 17);
        }
        if (i == 8) {
            EXPECT_EQ(index.nGetNbBuckets(), 53);  // 8 slots of 17 were full
        }
    }
    EXPECT_EQ(index.nGetNbElement(), 5000);
    EXPECT_EQ(index.nGetNbBuckets(), 12289);
    for (int i = 0; i < 5000; i += 97) {
        std::vector<int> seen;
        index.Parcours(names[i].c_str(), [&](int v) {
            seen.push_back(v);
            return true;
        });
        EXPECT_NE(std::find(seen.begin(), seen.end(), i), seen.end()) << i;
    }
}

TEST(ZipNameIndex, SameNameChainsNewestFirstAndVisitorStops)
{
    CZipNameIndex index;
    index.bAjoute(L"a.txt", 0);
    index.bAjoute(L"A.TXT", 1);
    index.bAjoute(L"b.txt", 2);
    std::vector<int> seen;
    index.Parcours(L"a.Txt", [&](int v) {
        seen.push_back(v);
        return true;
    });
    EXPECT_EQ(seen, (std::vector<int>{1, 0}));
    seen.clear();
    index.Parcours(L"a.txt", [&](int v) {
        seen.push_back(v);
        return false;
    });
    EXPECT_EQ(seen.size(), 1u);
    index.Vide();
    seen.clear();
    index.Parcours(L"a.txt", [&](int v) {
        seen.push_back(v);
        return true;
    });
    EXPECT_TRUE(seen.empty());
}

}  // namespace
