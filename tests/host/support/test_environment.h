#pragma once

#include <gtest/gtest.h>

#include "tests/host/kit/standin_info_locale.h"
#include "tests/host/kit/standin_str_mem_alloc.h"

// Unit tests that do not exercise the module start-up itself include this
// header: it registers a GoogleTest environment that publishes the stand-in
// host services straight into the library's statics.
namespace vxtest {

StandinStrMemAlloc& Allocator();
// The process-wide locale stand-in published as the host's locale interface.
StandinInfoLocale& Locale();
void PublishStandins();
void WithdrawStandins();

class StandinEnvironment : public ::testing::Environment
{
public:
    void SetUp() override { PublishStandins(); }
    void TearDown() override { WithdrawStandins(); }
};

inline const bool kStandinEnvironmentRegistered =
    (::testing::AddGlobalTestEnvironment(new StandinEnvironment), true);

}  // namespace vxtest
