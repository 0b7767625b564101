#pragma once

// The driver the native layer's tests work with: a CNADriver whose factory
// slots (45-50, 53, 57, 59-61), fatal-error hook (58), SQL-functions
// object's statement factory and module end are chosen per test, registered
// with the factory hook so that piQueryInterface makes it, or made directly.
//
// Each choice left empty keeps its default: the base driver's answer, null
// for the pure slots 49 and 59, and for slot 61 a CTestDriverSQL. The
// database driver needs its client library; this one lets a test put its own
// object behind any slot. Another choice comes as a new member of
// CTestDriverChoices and the override that reads it, never as a changed
// default.
#include <functional>
#include <new>

#include "native/driver/driver.h"
#include "native/driver/driver_exports.h"
#include "native/driver/driver_sql.h"
#include "native/model/column.h"
#include "tests/support/driver_module.h"

// The SQL-functions object of the test driver.
class CTestDriverSQL : public CNADriverSQL
{
public:
    using AllocStatementSQL = std::function<CNAStatementSQL*(CNAConnectionDescription*, CNAError*)>;

    CTestDriverSQL(CNADriver* pclDriver, CNAError* pclError, AllocStatementSQL allocStatementSQL = nullptr)
        : CNADriverSQL(pclDriver, pclError), m_allocStatementSQL(std::move(allocStatementSQL))
    {
        ++s_nLive;
    }
    ~CTestDriverSQL() override { --s_nLive; }

    CNAStatementSQL* pclAllocStatementSQL(CNAConnectionDescription* pclConnection, CNAError* pclError) override
    {
        return m_allocStatementSQL ? m_allocStatementSQL(pclConnection, pclError) : nullptr;
    }

    // Objects of this class alive in the process.
    static inline int s_nLive = 0;

private:
    AllocStatementSQL m_allocStatementSQL;
};

struct CTestDriverChoices
{
    std::function<CNAConvertVariant*(CNAError*, CNAConnectionDescription*)> allocVariantRowID;           // 45
    std::function<CNADataSourceDescription*(CNAConnectionDescription*, CNAError*)> allocDataSourceDescription;  // 46
    std::function<CNAContext*()> allocContext;                                                            // 47
    std::function<CNADataAccess*(INADataSourceDescription*, CNAConnectionDescription*, CNAError*)>
        allocDataAccess;                                                                                  // 48
    std::function<CNAStatement*(CNADataAccess*, CNAConnectionDescription*, CNAError*)> allocStatement;    // 49
    std::function<CNAColumn*(CNAError*, INAItemDescription*)> allocColumn;                                // 50
    std::function<CNAIDAuto*()> allocIDAuto;                                                              // 53
    std::function<CNAItemDescription*()> allocItemDescription;                                            // 57
    std::function<CNAConnectionDescription*(const wchar_t*, INAConnectionDescription*)>
        allocConnectionDescription;                                                                       // 59
    std::function<CNATable*(const wchar_t*, INADataSourceDescription*, CNAConnectionDescription*, CNAError*)>
        allocTable;                                                                                       // 60
    std::function<CNADriverSQL*(CNADriver*, CNAError*)> allocDriverSQL;                                   // 61
    // The statement factory of the default SQL-functions object.
    CTestDriverSQL::AllocStatementSQL allocStatementSQL;
    // Called by _BeforeDeath, with the driver.
    std::function<void(CNADriver*)> beforeDeath;
    // Slot 58, the fatal-error hook; the base's (nothing) when empty.
    std::function<void(CNAError*, CNAConnectionDescription*)> onFatalError;
    // The registered module end, before it ends the native module; nothing
    // when empty. A database driver's module end unloads its client library
    // here.
    std::function<void()> beforeTermModule;
};

class CTestDriver : public CNADriver
{
public:
    explicit CTestDriver(CTestDriverChoices choices = {}) : m_choices(std::move(choices)) { ++s_nLive; }
    ~CTestDriver() override { --s_nLive; }

    CNAConvertVariant* pclAllocVariantRowID(CNAError* pclError, CNAConnectionDescription* pclConnection) override
    {
        return m_choices.allocVariantRowID ? m_choices.allocVariantRowID(pclError, pclConnection)
                                           : CNADriver::pclAllocVariantRowID(pclError, pclConnection);
    }
    CNADataSourceDescription* pclAllocDataSourceDescription(CNAConnectionDescription* pclConnection,
                                                            CNAError* pclError) override
    {
        return m_choices.allocDataSourceDescription
                   ? m_choices.allocDataSourceDescription(pclConnection, pclError)
                   : CNADriver::pclAllocDataSourceDescription(pclConnection, pclError);
    }
    CNAContext* pclAllocContext() override
    {
        return m_choices.allocContext ? m_choices.allocContext() : CNADriver::pclAllocContext();
    }
    CNADataAccess* pclAllocDataAccess(INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection,
                                      CNAError* pclError) override
    {
        return m_choices.allocDataAccess ? m_choices.allocDataAccess(piSource, pclConnection, pclError)
                                         : CNADriver::pclAllocDataAccess(piSource, pclConnection, pclError);
    }
    CNAStatement* pclAllocStatement(CNADataAccess* pclDataAccess, CNAConnectionDescription* pclConnection,
                                    CNAError* pclError) override
    {
        return m_choices.allocStatement ? m_choices.allocStatement(pclDataAccess, pclConnection, pclError) : nullptr;
    }
    CNAColumn* pclAllocColumn(CNAError* pclError, INAItemDescription* piItem) override
    {
        return m_choices.allocColumn ? m_choices.allocColumn(pclError, piItem)
                                     : CNADriver::pclAllocColumn(pclError, piItem);
    }
    CNAIDAuto* pclAllocIDAuto() override
    {
        return m_choices.allocIDAuto ? m_choices.allocIDAuto() : CNADriver::pclAllocIDAuto();
    }
    CNAItemDescription* pclAllocItemDescription() override
    {
        return m_choices.allocItemDescription ? m_choices.allocItemDescription()
                                              : CNADriver::pclAllocItemDescription();
    }
    CNAConnectionDescription* _pclAllocConnectionDescription(const wchar_t* pszIdentification,
                                                             INAConnectionDescription* piConnection) override
    {
        return m_choices.allocConnectionDescription
                   ? m_choices.allocConnectionDescription(pszIdentification, piConnection)
                   : nullptr;
    }
    CNATable* _pclAllocTable(const wchar_t* pszKey, INADataSourceDescription* piSource,
                             CNAConnectionDescription* pclConnection, CNAError* pclError) override
    {
        return m_choices.allocTable ? m_choices.allocTable(pszKey, piSource, pclConnection, pclError)
                                    : CNADriver::_pclAllocTable(pszKey, piSource, pclConnection, pclError);
    }
    CNADriverSQL* _pclAllocDriverSQL(CNAError* pclError) override
    {
        if (m_choices.allocDriverSQL)
            return m_choices.allocDriverSQL(this, pclError);
        return new (std::nothrow) CTestDriverSQL(this, pclError, m_choices.allocStatementSQL);
    }
    void OnFatalErrorAddDebugMessage(CNAError* pclError, CNAConnectionDescription* pclConnection) override
    {
        if (m_choices.onFatalError)
            m_choices.onFatalError(pclError, pclConnection);
        else
            CNADriver::OnFatalErrorAddDebugMessage(pclError, pclConnection);
    }
    void _BeforeDeath() override
    {
        if (m_choices.beforeDeath)
            m_choices.beforeDeath(this);
    }

    CTestDriverChoices& Choices() { return m_choices; }
    // The rows a browse asks for at a time when the connection does not say
    // (the concrete driver's own default).
    void SetDefaultCacheSize(int64_t llSize) { m_llDefaultCacheSize = llSize; }

    // Drivers of this class alive in the process.
    static inline int s_nLive = 0;

private:
    CTestDriverChoices m_choices;
};

// A column factory for slot 50 that makes plain columns, as the statement
// layer's column would be made (null for the item types without column):
// choices.allocColumn = PlainColumnFactory().
inline std::function<CNAColumn*(CNAError*, INAItemDescription*)> PlainColumnFactory()
{
    return [](CNAError* pclError, INAItemDescription* piItem) -> CNAColumn* {
        if (piItem == nullptr || !CNADriver::g_bColumnItemType(piItem->eNAGetItemType()))
            return nullptr;
        return new (std::nothrow) CNAColumn(pclError, piItem);
    };
}

// Registers the test driver with the factory hook for the life of the
// object: each piQueryInterface makes a CTestDriver with the choices given
// here (changeable between calls); the module end counts its calls and ends
// the module. The former registration comes back at the end.
class CTestDriverRegistration
{
public:
    explicit CTestDriverRegistration(CTestDriverChoices choices = {})
    {
        Choices() = std::move(choices);
        s_bMakeNone = false;
        s_nTermModuleCalls = 0;
        m_former = CNADriver::g_SetFactory({&NewDriver, &TermModule});
    }
    ~CTestDriverRegistration()
    {
        CNADriver::g_SetFactory(m_former);
        Choices() = {};
    }
    CTestDriverRegistration(const CTestDriverRegistration&) = delete;
    CTestDriverRegistration& operator=(const CTestDriverRegistration&) = delete;

    static CTestDriverChoices& Choices()
    {
        static CTestDriverChoices choices;
        return choices;
    }
    // Whether the next driver is made at all.
    static inline bool s_bMakeNone = false;
    static inline int s_nTermModuleCalls = 0;

private:
    static CNADriver* NewDriver()
    {
        return s_bMakeNone ? nullptr : new (std::nothrow) CTestDriver(Choices());
    }
    static int TermModule()
    {
        ++s_nTermModuleCalls;
        if (Choices().beforeTermModule)
            Choices().beforeTermModule();
        return CNADriver::g_NATermModule();
    }

    CNADriver::stFactory m_former;
};
