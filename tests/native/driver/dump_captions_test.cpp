// The driver's dump captions: each of the 25 texts loaded from the module's
// resource strings by its id (the host's string loader first, when it has
// one), one blank appended, fields 8 to 10 left empty; loaded once per
// driver, when the first field is still empty.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "common/system/dllres.h"
#include "common/system/module_info.h"
#include "native/driver/driver.h"
#include "tests/fakes/test_driver.h"

namespace {

const std::map<int, unsigned> kIds = {
    {1, 25676},  {2, 25679},  {3, 25678},  {4, 25675},  {5, 25680},  {6, 25670},  {7, 25674},
    {11, 25810}, {12, 25843}, {13, 25846}, {14, 25849}, {15, 25847}, {16, 25848}, {17, 25834},
    {18, 25835}, {19, 25836}, {20, 25837}, {21, 25838}, {22, 25839}, {23, 25840}, {24, 25841},
    {25, 25842}, {26, 25844}, {27, 25845}, {28, 25869}};

// The host's string loader: "HOST" and the id for the ids it is told.
std::map<unsigned, std::wstring>& HostTexts()
{
    static std::map<unsigned, std::wstring> texts;
    return texts;
}
int HostLoadString(unsigned nId, wchar_t* pszBuffer, int nCapacity)
{
    const auto it = HostTexts().find(nId);
    if (it == HostTexts().end())
        return 0;
    const int n = static_cast<int>(it->second.size());
    if (n < nCapacity)
        std::wcscpy(pszBuffer, it->second.c_str());
    return n;
}

class DumpCaptions : public ::testing::Test
{
protected:
    void SetUp() override
    {
        StartTestDriverModule();
        m_piDriver = piQueryInterface(0);
        ASSERT_NE(nullptr, m_piDriver);
    }
    void TearDown() override
    {
        m_piDriver->nExternalRelease();
        gpfnLoadStringVXM = nullptr;
        HostTexts().clear();
    }
    CNADriver* Driver() const { return static_cast<CNADriver*>(m_piDriver); }
    std::wstring Caption(int nField) { return Driver()->pszGetDumpCaption(static_cast<eNA_DUMPCAPTION>(nField)); }

    CTestDriverRegistration m_registration;
    INADriver* m_piDriver = nullptr;
};

TEST_F(DumpCaptions, TheModulesTextsWithABlank)
{
    for (int nField = 1; nField <= kNADumpCaptionFields; ++nField) {
        const auto it = kIds.find(nField);
        if (it == kIds.end()) {
            EXPECT_EQ(L"", Caption(nField)) << nField;
            continue;
        }
        CTString csText;
        ASSERT_TRUE(DLLRES_bLoadString(&gstMyModuleInfo32, it->second, &csText)) << it->second;
        EXPECT_EQ(std::wstring(csText.pszGet()) + L" ", Caption(nField)) << nField;
    }
    // Texts that end with a blank end with two.
    EXPECT_EQ(L"Texte de la requête : ", Caption(1));
    EXPECT_EQ(L"Echec de la conversion de la valeur en texte. ", Caption(7));
    EXPECT_EQ(L"DataSource :  ", Caption(13));
    EXPECT_EQ(L"Connexion Page Code:  ", Caption(27));
    EXPECT_EQ(L"", Caption(0));
    EXPECT_EQ(L"", Caption(29));
}

TEST_F(DumpCaptions, TheHostsTextsFirstAndOnlyOnce)
{
    HostTexts()[25676] = L"Query:";
    HostTexts()[25869] = L"Library:";
    gpfnLoadStringVXM = &HostLoadString;
    Driver()->InitQueryDumpRessources();
    EXPECT_EQ(L"Query: ", Caption(1));
    EXPECT_EQ(L"Library: ", Caption(28));
    EXPECT_EQ(L"Nombre de paramètres : ", Caption(2));
    // Loaded: the first field is no longer empty, nothing is read again.
    HostTexts()[25676] = L"Other:";
    Driver()->InitQueryDumpRessources();
    EXPECT_EQ(L"Query: ", Caption(1));
    EXPECT_EQ(L"Library: ", Caption(28));
    // Another driver loads its own.
    INADriver* piOther = piQueryInterface(0);
    ASSERT_NE(nullptr, piOther);
    EXPECT_STREQ(L"Other: ", static_cast<CNADriver*>(piOther)->pszGetDumpCaption(NA_CAPTION_QUERY_TEXT));
    piOther->nExternalRelease();
}

}  // namespace
