// The driver's error object: what each way of recording leaves (type, error
// id, first sub-error, dump), the most recent record, the site procedure and
// the slots the host reads.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "native/driver/error_object.h"
#include "tests/host/support/test_environment.h"
#include "tests/native/abi_slots.h"

namespace {

struct Case
{
    const char* name;
    bool bNoDetail;
    std::function<void(CNAError&)> run;
    int nType;
    unsigned nId;
    unsigned nFirstSubCode;  // 0: no sub-error
    std::vector<std::wstring> present;
    std::vector<std::wstring> absent;
};

const wchar_t* const kSite54 = L"IEZODIRA=5.4\r\nModule=<ZODIRA>\r\nVersion=<20.0.10.0>";

unsigned FirstSubCode(CNAError& error)
{
    CXError* sub = error.pclGetXError()->pclGetSubError(0);
    return sub != nullptr ? sub->nGetUserErrorCode() : 0;
}

TEST(ErrorObject, RecordingPaths)
{
    const Case cases[] = {
        {"nothing recorded", false, [](CNAError&) {}, -1, 0, 0, {}, {L"IEZODIRA"}},
        {"user error at a site", false, [](CNAError& e) { e.AddError(NA_ERR_DUPLICATE_KEY, 5, 4, nullptr, 14, L"Cnx"); },
         3, 14, 0, {kSite54, L"<Cnx>"}, {}},
        {"user error without detail", true,
         [](CNAError& e) { e.AddError(NA_ERR_DUPLICATE_KEY, 5, 4, nullptr, 14, L"Cnx"); }, 3, 14, 0, {L"<Cnx>"},
         {L"IEZODIRA"}},
        {"code-first form", false, [](CNAError& e) { e.AddError(NA_ERR_NOT_AVAILABLE, 8u, 5, 4, nullptr); }, 7, 8, 0,
         {kSite54}, {}},
        {"a second error keeps the first type", false,
         [](CNAError& e) {
             e.AddError(NA_ERR_GENERAL, 5, 4, nullptr, 14, L"A");
             e.AddError(NA_ERR_DUPLICATE_KEY, 2, 2, nullptr, 9, L"B");
         },
         0, 14, 9, {L"<A>", L"<B>", L"IEZODIRA=2.2"}, {}},
        {"a new main error", false,
         [](CNAError& e) {
             e.AddError(NA_ERR_GENERAL, 5, 4, nullptr, 14, L"A");
             e.AddErrorFirst(NA_ERR_NOT_AVAILABLE, 5, 6, nullptr, 8);
         },
         7, 8, 14, {L"IEZODIRA=5.6", L"<A>"}, {}},
        {"a new main error without detail", true,
         [](CNAError& e) {
             e.AddError(NA_ERR_GENERAL, 5, 4, nullptr, 14, L"A");
             e.AddErrorFirst(NA_ERR_NOT_AVAILABLE, 5, 6, nullptr, 8);
         },
         7, 8, 14, {L"<A>"}, {L"IEZODIRA"}},
        {"a new main error on an empty object", false,
         [](CNAError& e) { e.AddErrorFirst(NA_ERR_NOT_AVAILABLE, 5, 6, nullptr, 8); }, 7, 8, 0, {L"IEZODIRA=5.6"},
         {}},
        {"runtime-value error", false,
         [](CNAError& e) { e.SetAnyError(101, 1, 2, 7, 3, nullptr, L"CLIENT", L"NOM"); }, 0, 61, 0,
         {L"IEZODIRA=7.3", L"CLIENT", L"NOM"}, {}},
        {"runtime-value error without detail", true,
         [](CNAError& e) { e.SetAnyError(101, 1, 2, 7, 3, nullptr, L"CLIENT", L"NOM"); }, 0, 61, 0, {},
         {L"IEZODIRA", L"CLIENT", L"NOM"}},
        {"runtime-value error after another", false,
         [](CNAError& e) {
             e.AddError(NA_ERR_DUPLICATE_KEY, 5, 4, nullptr, 14, L"A");
             e.SetAnyError(105, 0, 0, 7, 3, nullptr, L"CLIENT", nullptr);
         },
         3, 14, 60, {L"IEZODIRA=7.3", L"CLIENT"}, {}},
        // Codes that give no error leave nothing behind, so that a later error
        // is still the main one with its own type.
        {"no-error code on an empty object", false,
         [](CNAError& e) {
             e.SetAnyError(0, 0, 0, 7, 3, nullptr, L"CLIENT", L"NOM");
             e.SetAnyError(102, 0, 0, 7, 3, nullptr, L"CLIENT", L"NOM");
         },
         -1, 0, 0, {}, {L"CLIENT", L"IEZODIRA"}},
        {"no-error code, then an error", false,
         [](CNAError& e) {
             e.SetAnyError(103, 0, 0, 7, 3, nullptr, nullptr, nullptr);
             e.AddError(NA_ERR_DUPLICATE_KEY, 5, 4, nullptr, 14, L"A");
         },
         3, 14, 0, {kSite54}, {L"IEZODIRA=7.3"}},
        {"no-error code after an error", false,
         [](CNAError& e) {
             e.AddError(NA_ERR_DUPLICATE_KEY, 5, 4, nullptr, 14, L"A");
             e.SetAnyError(0, 0, 0, 7, 3, nullptr, L"CLIENT", nullptr);
             e.SetAnyError(115, 0, 0, 7, 3, nullptr, L"CLIENT", nullptr);
         },
         3, 14, 0, {}, {L"IEZODIRA=7.3", L"CLIENT"}},
        {"database error", false,
         [](CNAError& e) {
             e._SetDataBaseError(NA_ERR_DUPLICATE_KEY, nullptr, 22, 1062, L"Duplicate entry 'x'", L"CLIENT", L"NOM");
         },
         3, 22, 0, {L"1062", L"Duplicate entry 'x'", L"CLIENT"}, {L"IEZODIRA"}},
        {"database error after another", false,
         [](CNAError& e) {
             e.AddError(NA_ERR_GENERAL, 5, 4, nullptr, 14, L"A");
             e._SetDataBaseError(NA_ERR_DUPLICATE_KEY, nullptr, 22, 1062, nullptr, nullptr, nullptr);
         },
         0, 14, 22, {L"1062"}, {}},
        {"reset", false,
         [](CNAError& e) {
             e.AddError(NA_ERR_DUPLICATE_KEY, 5, 4, nullptr, 14, L"A");
             e.AddError(NA_ERR_DUPLICATE_KEY, 5, 4, nullptr, 9, L"B");
             e.Reset();
         },
         -1, 0, 0, {}, {L"<A>", L"<B>"}},
        {"reset after the dump was read, twice", false,
         [](CNAError& e) {
             e.AddError(NA_ERR_DUPLICATE_KEY, 5, 4, nullptr, 14, L"A");
             (void)e.pszGetError();
             e.Reset();
             e.Reset();
         },
         -1, 0, 0, {}, {L"<A>", L"IEZODIRA"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CNAError error;
        error.SetNoDetail(c.bNoDetail);
        c.run(error);
        EXPECT_EQ(c.nType, error.eGetErrorType());
        EXPECT_EQ(c.nId, error.dwGetErrorId());
        EXPECT_EQ(c.nFirstSubCode, FirstSubCode(error));
        const std::wstring dump = error.pszGetError();
        EXPECT_EQ(dump, error.StringDump().pszGet());
        EXPECT_EQ(dump, error.pszGetError()) << "read again, the same text";
        for (const std::wstring& text : c.present)
            EXPECT_NE(std::wstring::npos, dump.find(text)) << std::string(text.begin(), text.end());
        for (const std::wstring& text : c.absent)
            EXPECT_EQ(std::wstring::npos, dump.find(text)) << std::string(text.begin(), text.end());
    }
}

TEST(ErrorObject, NewMainErrorKeepsTheFormerWithItsSubErrors)
{
    CNAError error;
    error.AddError(NA_ERR_GENERAL, 5, 4, nullptr, 14, L"A");
    error.AddError(NA_ERR_GENERAL, 5, 5, nullptr, 9, L"B");
    error.AddErrorFirst(NA_ERR_NO_ROW_CHANGED, 4, 1, nullptr, 13, L"CLIENT");
    CXError* main = error.pclGetXError();
    ASSERT_EQ(1, main->nGetNbSubError());
    CXError* former = main->pclGetSubError(0);
    EXPECT_EQ(14u, former->nGetUserErrorCode());
    ASSERT_EQ(1, former->nGetNbSubError());
    EXPECT_EQ(9u, former->pclGetSubError(0)->nGetUserErrorCode());
    const std::wstring dump = error.pszGetError();
    EXPECT_LT(dump.find(L"<CLIENT>"), dump.find(L"<A>"));
}

TEST(ErrorObject, MostRecentRecordIsTheLastSubError)
{
    CNAError error;
    error.AddError(NA_ERR_GENERAL, 5, 4, nullptr, 14, L"A");
    error.SetDataBaseErrorCode(1205);
    EXPECT_EQ(1205u, error.dwGetDataBaseErrorCode());
    error.AddError(NA_ERR_GENERAL, 5, 5, nullptr, 9, L"B");
    EXPECT_EQ(0u, error.dwGetDataBaseErrorCode()) << "the new sub-error has none yet";
    error.SetDataBaseErrorCode(1062);
    error.SetDataBaseErrorMessage(L"Duplicate");
    error.SetSystemErrorCode(2);
    error.AddDebugMessageNoFormat(L"second");
    error.AddDebugMessageNoFormatFirst(L"first");
    error.AddDebugMessageNoFormatFirst(L"");
    error.AddDebugMessageNoFormatFirst(nullptr);
    EXPECT_EQ(1062u, error.dwGetDataBaseErrorCode());
    EXPECT_EQ(9u, error.nGetUserErrorCode());
    EXPECT_EQ(2u, error.dwGetSystemErrorCode());
    EXPECT_EQ(0u, error.dwGetADOErrorCode());

    CXError* main = error.pclGetXError();
    CXError* sub = main->pclGetSubError(0);
    const void* p = nullptr;
    ASSERT_TRUE(main->bGetInfo(CXError::EIT_BASECODE, &p));
    uint32_t code = 0;
    std::memcpy(&code, &p, sizeof code);
    EXPECT_EQ(1205u, code) << "the main error keeps its own";
    ASSERT_TRUE(sub->bGetInfo(CXError::EIT_BASEMESSAGE, &p));
    EXPECT_STREQ(L"Duplicate", static_cast<const wchar_t*>(p));
    const std::wstring debug = sub->pszGetDebugMessage();
    EXPECT_EQ(0u, debug.find(L"first\r\n")) << std::string(debug.begin(), debug.end());
    EXPECT_NE(std::wstring::npos, debug.find(L"second"));
}

TEST(ErrorObject, DebugInfoFollowsTheDetailFlag)
{
    CNAError error;
    error.AddError(NA_ERR_GENERAL, 5, 4, nullptr, 14, L"A");
    error.AddDebugInfo(9, 1);
    EXPECT_NE(std::wstring::npos, std::wstring(error.pclGetXError()->pszGetDebugMessage()).find(L"IEZODIRA=9.1"));
    CNAError quiet;
    quiet.SetNoDetail(1);
    quiet.AddError(NA_ERR_GENERAL, 5, 4, nullptr, 14, L"A");
    quiet.AddDebugInfo(9, 1);
    EXPECT_EQ(std::wstring::npos, std::wstring(quiet.pclGetXError()->pszGetDebugMessage()).find(L"IEZODIRA"));
}

TEST(ErrorObject, NamesGoOnlyWithATableName)
{
    struct NamesCase
    {
        const wchar_t* table;
        const wchar_t* item;
        const wchar_t* expectedTable;
        const wchar_t* expectedItem;
    };
    const NamesCase cases[] = {
        {L"CLIENT", L"NOM", L"CLIENT", L"NOM"},
        {L"CLIENT", L"", L"CLIENT", nullptr},
        {L"CLIENT", nullptr, L"CLIENT", nullptr},
        {L"", L"NOM", nullptr, nullptr},
        {nullptr, L"NOM", nullptr, nullptr},
    };
    for (const NamesCase& c : cases) {
        CNAError error;
        error.AddError(NA_ERR_GENERAL, 5, 4, nullptr, 14, L"A");
        error.SetInfoNames(c.table, c.item);
        if (c.expectedTable == nullptr)
            EXPECT_EQ(nullptr, error.pszGetLogicalTableName());
        else
            EXPECT_STREQ(c.expectedTable, error.pszGetLogicalTableName());
        if (c.expectedItem == nullptr)
            EXPECT_EQ(nullptr, error.pszGetItemName());
        else
            EXPECT_STREQ(c.expectedItem, error.pszGetItemName());
    }
}

TEST(ErrorObject, FinishedErrorsAndSubErrors)
{
    _CXErrorModule32 given(14, L"Cnx");
    CNAError error;
    error.AddError(NA_ERR_LOCK_TIMEOUT, &given, nullptr);
    EXPECT_EQ(NA_ERR_LOCK_TIMEOUT, error.eGetErrorType());
    EXPECT_EQ(14u, error.dwGetErrorId());
    EXPECT_EQ(14u, given.nGetUserErrorCode()) << "the caller keeps its own";

    _CXErrorModule32 empty;
    error.AddSubError(&empty);
    EXPECT_EQ(0, error.pclGetXError()->nGetNbSubError()) << "level 1 is no error";
    error.AddSubError(&given);
    EXPECT_EQ(1, error.pclGetXError()->nGetNbSubError());
    EXPECT_EQ(NA_ERR_LOCK_TIMEOUT, error.eGetErrorType());

    CNAError fresh;
    fresh.AddSubError(&given);
    EXPECT_EQ(NA_ERR_NONE, fresh.eGetErrorType()) << "a sub-error does not fix the type";
}

TEST(ErrorObject, CopyAndLevels)
{
    CNAError source;
    source.AddError(NA_ERR_MANDATORY_VALUE, 5, 4, nullptr, 14, L"A");
    source.SetInfoNames(L"CLIENT", nullptr);
    CNAError target;
    target.AddError(NA_ERR_GENERAL, 5, 5, nullptr, 9, L"B");
    target.AddError(NA_ERR_GENERAL, 5, 5, nullptr, 9, L"C");
    target.Copy(&source);
    EXPECT_EQ(NA_ERR_MANDATORY_VALUE, target.eGetErrorType());
    EXPECT_EQ(14u, target.dwGetErrorId());
    EXPECT_EQ(0, target.pclGetXError()->nGetNbSubError()) << "a copy, not a merge";
    EXPECT_STREQ(L"CLIENT", target.pszGetLogicalTableName());
    target.Copy(&target);
    target.Copy(nullptr);
    EXPECT_EQ(14u, target.dwGetErrorId());

    EXPECT_EQ(NA_LEVEL_ERROR, target.eGetErrorLevel());
    target.SetErrorLevel(static_cast<eNAERRORLEVEL>(5));
    target.SetErrorLevel(static_cast<eNAERRORLEVEL>(0));
    EXPECT_EQ(NA_LEVEL_ERROR, target.eGetErrorLevel());
    target.SetErrorLevel(NA_LEVEL_WARNING);
    EXPECT_EQ(NA_LEVEL_WARNING, target.eGetErrorLevel());
    target.SetErrorLevel(NA_LEVEL_NOERROR);
    EXPECT_EQ(0u, target.dwGetErrorId()) << "level 1 reads as no error";
}

TEST(ErrorObject, SiteProcedure)
{
    CNAError error;
    CNAError::g_RaiseSiteError(&error, NASite::kCommitUnknownConnection, nullptr, L"CLIENT", L"NOM", L"Cnx");
    EXPECT_EQ(NA_ERR_GENERAL, error.eGetErrorType());
    EXPECT_EQ(14u, error.dwGetErrorId());
    EXPECT_STREQ(L"CLIENT", error.pszGetLogicalTableName());
    EXPECT_STREQ(L"NOM", error.pszGetItemName());
    const void* p = nullptr;
    ASSERT_TRUE(error.pclGetXError()->bGetInfo(CXError::EIT_NATIVECODE, &p));
    uint32_t code = 0;
    std::memcpy(&code, &p, sizeof code);
    EXPECT_EQ(14u, code);
    const std::wstring dump = error.pszGetError();
    EXPECT_NE(std::wstring::npos, dump.find(kSite54));
    EXPECT_NE(std::wstring::npos, dump.find(L"<Cnx>"));

    CNAError::g_RaiseSiteError(&error, NASite::kProviderListNotAvailable, nullptr, nullptr, nullptr);
    EXPECT_EQ(1, error.pclGetXError()->nGetNbSubError());
    EXPECT_EQ(NA_ERR_GENERAL, error.eGetErrorType());
    CNAError::g_RaiseSiteError(nullptr, NASite::kProviderListNotAvailable, nullptr, nullptr, nullptr);

    CNAError unavailable;
    CNAError::g_RaiseSiteError(&unavailable, NASite::kFilterAutoNotAvailable, nullptr, nullptr, nullptr);
    EXPECT_EQ(NA_ERR_NOT_AVAILABLE, unavailable.eGetErrorType());
    EXPECT_EQ(8u, unavailable.dwGetErrorId());
}

TEST(ErrorObject, EverySiteRaisesAUserErrorOfTheTable)
{
    const stNAErrorSite sites[] = {
        NASite::kCommitWithoutTransaction, NASite::kRollBackWithoutTransaction, NASite::kDiagnoseNotAvailable,
        NASite::kInvalidDateLiteral, NASite::kInvalidDateTimeLiteral, NASite::kOtherClientLibraryLoaded,
        NASite::kCommitOuterWhileInnerActive, NASite::kRollBackUnknownName, NASite::kTableLockUnknownConnection,
        NASite::kQueryLockUnknownConnection, NASite::kDiagnoseUnknownConnection, NASite::kCommitUnknownConnection,
        NASite::kRollBackUnknownConnection, NASite::kProviderListNotAvailable, NASite::kFilterAutoNotAvailable,
        NASite::kQueryLockOutsideTransaction, NASite::kTableLockOutsideTransaction,
    };
    for (const stNAErrorSite& site : sites) {
        SCOPED_TRACE(testing::Message() << site.nSource << "." << site.nSite);
        EXPECT_NE(0u, CXError::nGetRessourceIdFromUserErrorCode(&gstMyModuleInfo32, site.nUserCode));
    }
}

TEST(ErrorObject, CountedPlainly)
{
    auto* error = new CNAError;
    error->AddRef();
    REF_AddRef(error);
    EXPECT_EQ(2u, error->nGetRef());
    EXPECT_EQ(1u, error->nRelease());
    REF_Release(error);  // deletes; the sanitizer sees a leak otherwise

    CNAError held;
    EXPECT_EQ(0u, held.nRelease()) << "a release at 0 does nothing";
}

TEST(ErrorObject, SlotsAndVersionAnswers)
{
    vxtest::ExpectSlots("CNAError", {
        VX_SLOT(CNAError, pszGetError, 5),
        VX_SLOT(CNAError, eGetErrorLevel, 11),
        VX_SLOT(CNAError, Reset, 19),
    });
    EXPECT_EQ(20, VX_SLOT_COUNT(CNAError));

    CNAError error;
    INAError* pi = &error;
    EXPECT_EQ(1, vxtest::CallSlot<int>(pi, 0));
    EXPECT_EQ(1, vxtest::CallSlot<int>(pi, 1));
    EXPECT_EQ(0xFFFFFFFFu, vxtest::CallSlot<unsigned>(pi, 2));
    EXPECT_EQ(0xFFFFFFFFu, vxtest::CallSlot<unsigned>(pi, 3));
    error.AddError(NA_ERR_DUPLICATE_KEY, 5, 4, nullptr, 14, L"A");
    EXPECT_EQ(14u, vxtest::CallSlot<unsigned>(pi, 6));
    EXPECT_EQ(3, vxtest::CallSlot<int>(pi, 7));
    vxtest::CallSlot<void>(pi, 19);
    EXPECT_EQ(-1, vxtest::CallSlot<int>(pi, 7));
    EXPECT_EQ(0u, vxtest::CallSlot<unsigned>(pi, 6));
}

}  // namespace
