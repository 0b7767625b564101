#pragma once

#include "native/driver/na_forward.h"
#include "native/model/na_version.h"

// The driver object as the host sees it: 39 slots in the host's order, the
// five version slots first. The host holds the driver by external references
// (ExternalAddRef, nExternalRelease) and reaches everything else through
// these slots; the SQL-functions interface comes from piGetInterface(1) and
// the last error from piGetLastError, which adds no reference.
//
// Operations answer non-zero on success and 0 on failure, the failure then
// described by the driver's error object. Texts are wide; a null text from
// the host is allowed wherever a pointer is taken.
class INADriver : public INAVersion
{
public:
    // Slots 0-4. The framework versions are this interface's own.
    int nGetNAVersion() const override { return -1; }
    int nGetNACompatSince() const override { return -1; }

    virtual void ExternalAddRef() = 0;                                                    // 5
    virtual unsigned nExternalRelease() = 0;                                              // 6
    virtual void* piGetInterface(int nId) = 0;                                            // 7
    virtual int bOpenConnection(INAConnectionDescription* piConnection) = 0;              // 8
    virtual int bCloseConnection(INAConnectionDescription* piConnection) = 0;             // 9
    virtual int bCopyContext(INACopyCtx* piCopy, INAContext* piFrom, INAContext* piTo,
                             unsigned nFlags) = 0;                                        // 10
    virtual INAError* piGetLastError() = 0;                                               // 11
    virtual int bHMode(INAContext* piContext, _eNA_HMODE eMode) = 0;                      // 12
    virtual INATable* piGetTable(INAConnectionDescription* piConnection,
                                 INADataSourceDescription* piSource) = 0;                 // 13
    virtual int bGetTableList(CAny* pclList, INAConnectionDescription* piConnection,
                              unsigned nFlags) = 0;                                       // 14
    virtual INADataSourceDescription* piGetTableDesc(const wchar_t* pszName,
                                                     INAConnectionDescription* piConnection) = 0;  // 15
    virtual int bHExecuteRequeteSQL(INATable** ppiTable, INAContext* piContext, const wchar_t* pszName,
                                    INAConnectionDescription* piConnection, ISQLParserInformation* piQuery,
                                    unsigned nMode) = 0;                                  // 16
    virtual int bCloseContext(INAContext* piContext) = 0;                                 // 17
    virtual int bTransactionBegin(INAConnectionDescription* piConnection, const wchar_t* pszName) = 0;     // 18
    virtual int bTransactionCommit(INAConnectionDescription* piConnection, const wchar_t* pszName) = 0;    // 19
    virtual int bTransactionRollBack(INAConnectionDescription* piConnection, const wchar_t* pszName) = 0;  // 20
    virtual int bSQLBloqueTable(INAConnectionDescription* piConnection, const wchar_t* pszTable) = 0;      // 21
    virtual int bSQLBloqueRequete(INAConnectionDescription* piConnection,
                                  ISQLParserInformation* piQuery) = 0;                    // 22
    virtual int bSQLFormatColonne(INAConnectionDescription* piConnection, CAny* pclList) = 0;  // 23
    virtual int bHConnexionDiagnose(CAny* pclResult, INAConnectionDescription* piConnection,
                                    const wchar_t* pszText, unsigned nFlags) = 0;         // 24
    virtual int bGetProviderList(CAny* pclList) = 0;                                      // 25
    virtual int bTableExists(int* pbExists, const wchar_t* pszTable,
                             INAConnectionDescription* piConnection) = 0;                 // 26
    virtual int bGetLinkList(CAny* pclList, const wchar_t* pszTable, INADataSourceDescription* piSource,
                             INAConnectionDescription* piConnection, unsigned nFlags) = 0;  // 27
    virtual int bGetListeSource(CAny* pclList, int nFlags) = 0;                           // 28
    virtual int bSetQueryParameters(INAContext* piContext, INAConnectionDescription* piConnection,
                                    INAQueryParametersValue* piValues) = 0;               // 29
    virtual int bSetVMAndLibShop(ILibShop* piLibShop, IVMData* piVMData) = 0;             // 30
    virtual int bFiltreAuto(INAContext* piContext, INAConnectionDescription* piConnection, int nOption,
                            const wchar_t* pszFrom, INADataSourceDescription* piFrom, const wchar_t* pszTo,
                            INADataSourceDescription* piTo) = 0;                          // 31
    virtual void SetNextLogicalName(INAContext* piContext, const wchar_t* pszName) = 0;   // 32
    virtual int bHExecuteRequeteSQLEx(INATable** ppiTable, INAContext* piContext, const wchar_t* pszName,
                                      INAConnectionDescription* piConnection, ISQLParserInformation* piQuery,
                                      unsigned nMode, const INAQueryExecution* piExecution) = 0;  // 33
    virtual int bFreeDataSource(INAContext* piContext, const wchar_t* pszName,
                                INAConnectionDescription* piConnection) = 0;              // 34
    virtual int bValidConnection(INAConnectionDescription* piConnection) = 0;             // 35
    virtual int bSetQF(IQFForNA* piQF) = 0;                                               // 36
    virtual int bSupprimeFichier(INAContext* piContext, INAConnectionDescription* piConnection,
                                 const wchar_t* pszTable, INADataSourceDescription* piSource) = 0;  // 37
    virtual int bGetDatabaseList(CXYString<wchar_t>* pclList, INAConnectionDescription* piConnection,
                                 unsigned nFlags) = 0;                                    // 38

protected:
    INADriver() = default;
    ~INADriver() = default;
};
