#pragma once

// The MySQL driver as the tests run it: CMySQLDriver itself, registered with
// the factory hook for the life of a registration object so that
// piQueryInterface makes it. Two seams let a test put an instrumented or
// null object where a factory would make the MySQL one: statements (slot 49)
// that keep their rows in a record cache, or none at all; no table
// description (slot 46). A seam left empty leaves the MySQL driver's answer,
// so its real behaviour runs everywhere else.
#include <functional>
#include <new>
#include <utility>

#include "mysql/mysql_driver.h"
#include "mysql/mysql_statement.h"
#include "tests/support/driver_module.h"

struct CMySQLDriverSeams
{
    // Slot 49; the driver is given to reach its own factory.
    std::function<CNAStatement*(CMySQLDriver&, CNADataAccess*, CNAError*)> allocStatement;
    // Slot 46.
    std::function<CNADataSourceDescription*(CMySQLDriver&, CNAConnectionDescription*, CNAError*)>
        allocDataSourceDescription;
};

class CMySQLDriverWithSeams : public CMySQLDriver
{
public:
    explicit CMySQLDriverWithSeams(CMySQLDriverSeams seams) : m_seams(std::move(seams)) {}

    CNAStatement* pclAllocStatement(CNADataAccess* pclDataAccess, CNAConnectionDescription* pclConnection,
                                    CNAError* pclError) override
    {
        return m_seams.allocStatement ? m_seams.allocStatement(*this, pclDataAccess, pclError)
                                      : CMySQLDriver::pclAllocStatement(pclDataAccess, pclConnection, pclError);
    }
    CNADataSourceDescription* pclAllocDataSourceDescription(CNAConnectionDescription* pclConnection,
                                                            CNAError* pclError) override
    {
        return m_seams.allocDataSourceDescription
                   ? m_seams.allocDataSourceDescription(*this, pclConnection, pclError)
                   : CMySQLDriver::pclAllocDataSourceDescription(pclConnection, pclError);
    }

private:
    CMySQLDriverSeams m_seams;
};

// A MySQL statement whose browses keep their rows in a record cache.
class CCachingMySQLStatement : public CMySQLStatement
{
public:
    using CMySQLStatement::CMySQLStatement;
    int bDefaultParseNeedRecordCache() override { return 1; }
};

// Registers the MySQL driver with the factory hook for the life of the
// object, with the seams given here (changeable between calls): each
// piQueryInterface makes one. Its module end is the MySQL driver's, counted.
// The former registration comes back at the end.
class CMySQLDriverRegistration
{
public:
    explicit CMySQLDriverRegistration(CMySQLDriverSeams seams = {})
    {
        Seams() = std::move(seams);
        s_nTermModuleCalls = 0;
        m_former = CNADriver::g_SetFactory({&NewDriver, &TermModule});
    }
    ~CMySQLDriverRegistration()
    {
        CNADriver::g_SetFactory(m_former);
        Seams() = {};
    }
    CMySQLDriverRegistration(const CMySQLDriverRegistration&) = delete;
    CMySQLDriverRegistration& operator=(const CMySQLDriverRegistration&) = delete;

    static CMySQLDriverSeams& Seams()
    {
        static CMySQLDriverSeams seams;
        return seams;
    }
    static inline int s_nTermModuleCalls = 0;

private:
    static CNADriver* NewDriver() { return new (std::nothrow) CMySQLDriverWithSeams(Seams()); }
    static int TermModule()
    {
        ++s_nTermModuleCalls;
        return CMySQLDriver::g_NATermModule();
    }

    CNADriver::stFactory m_former;
};
