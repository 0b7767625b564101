#pragma once

// Runtime values worked on by the stand-in virtual machine: the machine is
// bound once per process and takes its runtime blocks from the library's
// allocator; every test gives back each block, decimal and heap text it
// made.
#include <string>

#include "common/text/vm_binding.h"
#include "common/text/vm_calc_binding.h"
#include "tests/common/text/any_fixture.h"
#include "tests/host/module/standin_vm_loader.h"

namespace vxtest {

class AnyVmTest : public StrMemTest
{
protected:
    static void SetUpTestSuite()
    {
        if (s_host == nullptr)
            s_host = new StandinHostModule(VX_STANDIN_HOST_PATH);
        ASSERT_TRUE(s_host->IsLoaded()) << s_host->Error();
    }

    void SetUp() override
    {
        StrMemTest::SetUp();
        ASSERT_EQ(1, bInitZLConvFromVM(s_host->Handle(), 2, 2));
        ASSERT_EQ(1, bInitZLCalcFromVM(s_host->Handle(), 2, 2));
        Vm().Reset();
        Vm().SetAllocator(&Allocator());
        m_decimalsBefore = Vm().LiveDecimals();
        m_textsBefore = Vm().TextsMade() - Vm().TextsFinished();
    }

    void TearDown() override
    {
        Vm().Reset();
        EXPECT_EQ(m_decimalsBefore, Vm().LiveDecimals()) << "decimals leaked or released twice";
        // Heap texts of calculations belong to their value (the leak
        // checker follows them); those of conversions go back to the machine.
        if (m_bConversionsOnly) {
            EXPECT_EQ(m_textsBefore, Vm().TextsMade() - Vm().TextsFinished()) << "conversion texts not finished";
        }
        StrMemTest::TearDown();
    }

    static StandinVm Vm() { return StandinVm(*s_host); }

    // A value of a type, converted by the machine from wide text.
    static CAny Make(unsigned short type, const wchar_t* text)
    {
        CAny v;
        v.__SetType(ZLTYPE_PSTRW, 0);
        (void)v.Objet().SetValue(text);
        const int rc = v.__nCastTo(type, nullptr, 1);
        EXPECT_LE(rc, 99) << "making type " << type << " from " << std::string(text, text + std::wcslen(text));
        return v;
    }

    // The value's text through a cast of a copy to wide heap text.
    static std::wstring Text(const CAny& v)
    {
        CAny copy(v);
        copy.ClearFlags();
        const int rc = copy.__nCastTo(ZLTYPE_PSTRW, nullptr, 1);
        if (rc > 99)
            return L"<" + std::to_wstring(rc) + L">";
        const wchar_t* psz = nullptr;
        (void)copy.Objet().nGetPCWSTR(&psz);
        return psz ? psz : L"<null>";
    }

    inline static StandinHostModule* s_host = nullptr;
    long m_decimalsBefore = 0;
    long m_textsBefore = 0;
    bool m_bConversionsOnly = true;
};

}  // namespace vxtest
