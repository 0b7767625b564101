#pragma once

// The host's description of a connection, stood in for: every value the
// driver reads by position is settable, every text may be null. The version
// defaults to 4, so the driver also asks the default cache size.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "native/driver/host_connection_description.h"
#include "tests/host/db/standin_host_object.h"

class StandinConnectionDescription final : public StandinHostObject<INAConnectionDescription>
{
public:
    StandinConnectionDescription() { SetVersion(4); }

    // A text kept as given: null stays null.
    class Text
    {
    public:
        void Set(const wchar_t* psz)
        {
            if (psz != nullptr)
                m_text = psz;
            else
                m_text.reset();
        }
        const wchar_t* psz() const { return m_text ? m_text->c_str() : nullptr; }

    private:
        std::optional<std::wstring> m_text;
    };

    // Settings.
    void SetUserName(const wchar_t* psz) { m_user.Set(psz); }
    void SetPassword(const wchar_t* psz) { m_password.Set(psz); }
    void SetDataBase(const wchar_t* psz) { m_dataBase.Set(psz); }
    void SetDescription(const wchar_t* psz) { m_description.Set(psz); }
    void SetAccess(int nAccess) { m_nAccess = nAccess; }
    void AddParam(const wchar_t* psz) { m_params.emplace_back().Set(psz); }
    void SetProvider(const wchar_t* psz) { m_provider.Set(psz); }
    void SetConnectionTimeout(int n) { m_nConnectionTimeout = n; }
    void SetCommandTimeout(int n) { m_nCommandTimeout = n; }
    void SetExtendedInfo(const wchar_t* psz) { m_extendedInfo.Set(psz); }
    void SetConnectionName(const wchar_t* psz) { m_connectionName.Set(psz); }
    void SetCursorOptions(long n) { m_lCursorOptions = n; }
    void SetDefaultDataBase(const wchar_t* psz) { m_defaultDataBase.Set(psz); }
    void SetDefaultCacheSize(int64_t n) { m_llDefaultCacheSize = n; }
    void SetLogicalConnectionName(const wchar_t* psz) { m_logicalName.Set(psz); }

    // How often a slot the driver must never call was called.
    int nUnusedSlotCalls() const { return m_nUnusedSlotCalls; }

    // INAConnectionDescription, after the version and reference slots.
    const wchar_t* pszGetUserName() const override { return m_user.psz(); }
    const wchar_t* pszGetPassword() const override { return m_password.psz(); }
    const wchar_t* pszGetDataBase() const override { return m_dataBase.psz(); }
    const wchar_t* pszGetDescription() const override { return m_description.psz(); }
    eNA_ACCESS eGetAccess() const override { return static_cast<eNA_ACCESS>(m_nAccess); }
    int nGetNbParam() const override { return static_cast<int>(m_params.size()); }
    const wchar_t* pszGetParam(int nParam) const override;
    const wchar_t* pszGetProvider() const override { return m_provider.psz(); }
    int nGetConnectionTimeout() const override { return m_nConnectionTimeout; }
    int nGetCommandTimeout() const override { return m_nCommandTimeout; }
    const wchar_t* pszGetExtendedInfo() const override { return m_extendedInfo.psz(); }
    const wchar_t* pszGetConnectionName() const override { return m_connectionName.psz(); }
    long lGetCursorOptions() const override { return m_lCursorOptions; }
    void EmptySlot20() override { ++m_nUnusedSlotCalls; }
    const wchar_t* pszGetDefaultDataBase() const override { return m_defaultDataBase.psz(); }
    int64_t llGetDefaultCacheSize() const override { return m_llDefaultCacheSize; }
    void EmptySlot23() override { ++m_nUnusedSlotCalls; }
    void EmptySlot24() override { ++m_nUnusedSlotCalls; }
    const wchar_t* pszGetLogicalConnectionName() const override { return m_logicalName.psz(); }

private:
    Text m_user;
    Text m_password;
    Text m_dataBase;
    Text m_description;
    int m_nAccess = 0;
    std::vector<Text> m_params;
    Text m_provider;
    int m_nConnectionTimeout = 0;
    int m_nCommandTimeout = 0;
    Text m_extendedInfo;
    Text m_connectionName;
    long m_lCursorOptions = 0;
    Text m_defaultDataBase;
    // The host's "not given": the driver's own default applies.
    int64_t m_llDefaultCacheSize = -2;
    Text m_logicalName;
    int m_nUnusedSlotCalls = 0;
};
