#pragma once

// The tests' side of the fake client libraries: a variant opened by the test
// itself, so that its state (fake_client_state.h) is set before the code
// under test loads the same library, and stays readable after that code
// unloads it.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "tests/mysql/fake_client/fake_client_state.h"

class CFakeClient
{
public:
    // The variants, by the name CMakeLists.txt gives them.
    static std::string Path(const std::string& sVariant)
    {
        return std::string(VX_FAKE_CLIENT_DIR) + "/libvxfakeclient_" + sVariant + ".so";
    }
    // The text-only variant whose file is named as Debian's library.
    static std::string ShadowDirectory() { return std::string(VX_FAKE_CLIENT_DIR) + "/shadow"; }

    explicit CFakeClient(const std::string& sPath) : m_sPath(sPath)
    {
        m_pLibrary = dlopen(sPath.c_str(), RTLD_NOW | RTLD_LOCAL);
        EXPECT_NE(nullptr, m_pLibrary) << dlerror();
        if (m_pLibrary == nullptr)
            return;
        auto pfnState = reinterpret_cast<stFakeClientState* (*)()>(dlsym(m_pLibrary, "fakeclient_State"));
        EXPECT_NE(nullptr, pfnState);
        if (pfnState != nullptr)
            m_pState = pfnState();
    }
    ~CFakeClient()
    {
        if (m_pLibrary != nullptr)
            dlclose(m_pLibrary);
    }
    CFakeClient(const CFakeClient&) = delete;
    CFakeClient& operator=(const CFakeClient&) = delete;

    bool bOk() const { return m_pState != nullptr; }
    stFakeClientState& State() { return *m_pState; }
    void* Symbol(const char* pszName) const { return dlsym(m_pLibrary, pszName); }
    const std::string& sPath() const { return m_sPath; }

private:
    std::string m_sPath;
    void* m_pLibrary = nullptr;
    stFakeClientState* m_pState = nullptr;
};
