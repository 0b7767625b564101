// The value-dump captions: loaded from the module's texts, with fallbacks,
// reloaded without leaking and freed safely.
#include <gtest/gtest.h>

#include <cwchar>

#include "common/system/dllres.h"
#include "common/text/vx_variant_captions.h"

namespace {

wchar_t* const* Captions(size_t i)
{
    static wchar_t* const* const all[] = {
        &CVXVariant::s_pszDumpZLType,          &CVXVariant::s_pszDumpADOType, &CVXVariant::s_pszDumpValue,
        &CVXVariant::s_pszDumpTime,            &CVXVariant::s_pszDumpDate,    &CVXVariant::s_pszDumpConvFailed_Text,
        &CVXVariant::s_pszDumpConvFailed_Date, &CVXVariant::s_pszDumpConvFailed_Time,
    };
    return all[i];
}

const wchar_t* const kFallbacks[] = {
    L"Type Tessic",
    L"Type ADO",
    L"Valeur",
    L"Heure",
    L"Date",
    L"Echec de la conversion de la valeur en texte.",
    L"Echec de la conversion de la valeur en date",
    L"Echec de la conversion de la valeur en heure",
};

// A host loader that knows one caption only.
int HostLoader(unsigned int nId, wchar_t* pszBuffer, int nCapacity)
{
    if (nId != 25671)
        return 0;
    std::swprintf(pszBuffer, static_cast<size_t>(nCapacity), L"%ls", L"Jour");
    return 4;
}

TEST(VXVariantCaptions, LoadReloadAndFree)
{
    // Freeing before any loading is harmless.
    CVXVariant::FreeQueryDumpRessources();
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(nullptr, *Captions(i));

    // A descriptor that knows no text: every fallback.
    CVXVariant::InitQueryDumpRessources(nullptr);
    for (size_t i = 0; i < 8; ++i) {
        ASSERT_NE(nullptr, *Captions(i));
        EXPECT_STREQ(kFallbacks[i], *Captions(i));
    }

    // Loaded again, through the host's loader first, then the module's own
    // texts; the first copies are freed (the leak check would tell).
    gpfnLoadStringVXM = &HostLoader;
    CVXVariant::InitQueryDumpRessources();
    gpfnLoadStringVXM = nullptr;
    for (size_t i = 0; i < 8; ++i) {
        ASSERT_NE(nullptr, *Captions(i));
        EXPECT_STREQ(i == 4 ? L"Jour" : kFallbacks[i], *Captions(i)) << i;
    }

    CVXVariant::FreeQueryDumpRessources();
    CVXVariant::FreeQueryDumpRessources();
    for (size_t i = 0; i < 8; ++i)
        EXPECT_EQ(nullptr, *Captions(i));
}

}  // namespace
