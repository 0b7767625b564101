#pragma once

// Checks of an error object that the driver's tests share: which user error
// it holds and at which site it was raised, and its whole text.
#include <gtest/gtest.h>

#include <string>

#include "native/driver/error_object.h"

namespace vxtest {

inline std::wstring ErrorText(const CNAError& error)
{
    return error.StringDump().pszGet();
}

inline std::string Narrow(const std::wstring& s)
{
    return std::string(s.begin(), s.end());
}

// Whether the error object's main error is that user error raised at that
// site ("<source>.<site>").
inline ::testing::AssertionResult ErrorAt(const CNAError& error, unsigned nUserCode, const wchar_t* pszSite)
{
    if (error.dwGetErrorId() != nUserCode)
        return ::testing::AssertionFailure() << "user error " << error.dwGetErrorId() << " in "
                                             << Narrow(ErrorText(error));
    const std::wstring dump = ErrorText(error);
    if (dump.find(std::wstring(L"IEZODIRA=") + pszSite + L"\r\n") == std::wstring::npos)
        return ::testing::AssertionFailure() << "no site line in " << Narrow(dump);
    return ::testing::AssertionSuccess();
}

// Whether the error's text holds that piece.
inline ::testing::AssertionResult ErrorHas(const CNAError& error, const std::wstring& piece)
{
    const std::wstring dump = ErrorText(error);
    if (dump.find(piece) == std::wstring::npos)
        return ::testing::AssertionFailure() << "no " << Narrow(piece) << " in " << Narrow(dump);
    return ::testing::AssertionSuccess();
}

}  // namespace vxtest
