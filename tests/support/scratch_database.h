#pragma once

// A database of its own for one test on the run's private server: named with
// the server's test prefix, the test's name, the process and a counter (so
// that tests running side by side never meet), made utf8mb4 by the test user
// (who may make and drop exactly such databases) and dropped again by the
// destructor, whatever the test left in it.

#include <string>

#include "tests/support/raw_client.h"

namespace vxtest {

class ScratchDatabase
{
public:
    ScratchDatabase();
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase&) = delete;
    ScratchDatabase& operator=(const ScratchDatabase&) = delete;

    // Empty when the database could not be made (the test has failed then).
    const std::string& Name() const { return m_sName; }
    // The name in backquotes, for SQL text.
    std::string Quoted() const { return QuoteIdentifier(m_sName); }

private:
    std::string m_sName;
};

}  // namespace vxtest
