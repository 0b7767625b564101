#pragma once

#include "native/driver/na_forward.h"
#include "native/model/na_version.h"

// The driver's SQL functions as the host sees them: connections and result
// statements addressed by integer handles (0 is never a valid handle), 77
// slots in the host's order, the five version slots first and 37 reserved
// slots last. The host gets the object from INADriver::piGetInterface(1) with
// one external reference.
//
// Overloads are declared in slot order (19/20 and 22/23 differ by a
// connection or statement handle): g++ gives each declaration the next slot.
class INADriverSQL : public INAVersion
{
public:
    virtual void ExternalAddRef() = 0;                                                          // 5
    virtual unsigned nExternalRelease() = 0;                                                    // 6
    virtual INAError* piGetLastError() = 0;                                                     // 7
    virtual void* piGetInterface(int nId) = 0;                                                  // 8
    virtual void* pReservedFct1(unsigned char* p) = 0;                                          // 9
    virtual void* pReservedFct2(unsigned char* p) = 0;                                          // 10
    virtual void* pReservedFct3(unsigned char* p) = 0;                                          // 11
    virtual void* pReservedFct4(unsigned char* p) = 0;                                          // 12
    virtual void* pReservedFct5(unsigned char* p) = 0;                                          // 13
    virtual int bLoadNativeDll(unsigned char* p, unsigned n) = 0;                               // 14
    virtual int bFreeNativeDll(unsigned char* p, unsigned n) = 0;                               // 15
    virtual int bOpenConnection(int* pnConnection, INAConnectionDescription* piConnection) = 0;  // 16
    virtual int bCloseConnection(int nConnection) = 0;                                          // 17
    virtual void EmptySlot87() = 0;                                                             // 18
    virtual int bGetTableList(CAny* pclList, int nConnection, const wchar_t* pszFilter,
                              unsigned nFlags) = 0;                                             // 19
    virtual int bGetColumnList(CAny* pclList, int nConnection, const wchar_t* pszTable,
                               unsigned nFlags) = 0;                                            // 20
    virtual int bGetColumnList(CAny* pclList, int nConnection, int nStatement, unsigned nFlags) = 0;  // 21
    virtual INADataSourceDescription* piGetTableDesc(int nConnection, const wchar_t* pszTable,
                                                     unsigned nFlags) = 0;                      // 22
    virtual INADataSourceDescription* piGetTableDesc(int nConnection, int nStatement,
                                                     unsigned nFlags) = 0;                      // 23
    virtual int bGetColumnTypeList(CAny* pclList, int nConnection, unsigned nFlags) = 0;        // 24
    virtual int bExecute(int* pnStatement, int nConnection, const wchar_t* pszSQL, CTabValParser* pstValues,
                         unsigned nFlags) = 0;                                                  // 25
    virtual int bFreeStmt(int nConnection, int nStatement, unsigned nFlags) = 0;                // 26
    virtual int bGetStmtLastError(INAError** ppiError, int nConnection, int nStatement) = 0;    // 27
    virtual int bGetColumnNbr(int* pnColumns, int nConnection, int nStatement, unsigned nFlags) = 0;  // 28
    virtual int bGetColumnName(CAny* pclName, int nConnection, int nStatement, unsigned nColumn,
                               unsigned nFlags) = 0;                                            // 29
    virtual int bFetch(int nConnection, int nStatement, unsigned nFlags) = 0;                   // 30
    virtual int bGetRow(CAny* pclRow, int nConnection, int nStatement, const wchar_t* pszSeparator, int nOption,
                        unsigned nFlags) = 0;                                                   // 31
    virtual int bGetValue(CAny* pclValue, int nConnection, int nStatement, unsigned nColumn,
                          unsigned nFlags) = 0;                                                 // 32
    virtual int bGetBLOBValue(CAny* pclValue, int nConnection, int nStatement, unsigned nColumn,
                              unsigned nFlags) = 0;                                             // 33
    virtual int bTrsBegin(int* pnTransaction, int nConnection, unsigned nFlags) = 0;            // 34
    virtual int bTrsCommit(int nTransaction, int nConnection, unsigned nFlags) = 0;             // 35
    virtual int bTrsRollBack(int nTransaction, int nConnection, unsigned nFlags) = 0;           // 36
    virtual int bSQLBloqueTable(int nConnection, const wchar_t* pszTable, unsigned nFlags) = 0;  // 37
    virtual int bSQLBloqueRequete(int nConnection, const wchar_t* pszSQL, unsigned nFlags) = 0;  // 38
    virtual int bSetVMAndLibShop(ILibShop* piLibShop, IVMData* piVMData) = 0;                   // 39

    // Slots 40-76, reserved: they do nothing. The host numbers them with
    // gaps; only the first and last of its numbers are kept as names.
    virtual void EmptySlot258() = 0;
    virtual void EmptySlot259() = 0;
    virtual void EmptySlot260() = 0;
    virtual void EmptySlot261() = 0;
    virtual void EmptySlot262() = 0;
    virtual void EmptySlot263() = 0;
    virtual void EmptySlot264() = 0;
    virtual void EmptySlot265() = 0;
    virtual void EmptySlot266() = 0;
    virtual void EmptySlot267() = 0;
    virtual void EmptySlot268() = 0;
    virtual void EmptySlot269() = 0;
    virtual void EmptySlot270() = 0;
    virtual void EmptySlot271() = 0;
    virtual void EmptySlot272() = 0;
    virtual void EmptySlot273() = 0;
    virtual void EmptySlot274() = 0;
    virtual void EmptySlot275() = 0;
    virtual void EmptySlot276() = 0;
    virtual void EmptySlot277() = 0;
    virtual void EmptySlot278() = 0;
    virtual void EmptySlot279() = 0;
    virtual void EmptySlot280() = 0;
    virtual void EmptySlot281() = 0;
    virtual void EmptySlot282() = 0;
    virtual void EmptySlot283() = 0;
    virtual void EmptySlot284() = 0;
    virtual void EmptySlot285() = 0;
    virtual void EmptySlot286() = 0;
    virtual void EmptySlot287() = 0;
    virtual void EmptySlot288() = 0;
    virtual void EmptySlot289() = 0;
    virtual void EmptySlot290() = 0;
    virtual void EmptySlot291() = 0;
    virtual void EmptySlot292() = 0;
    virtual void EmptySlot293() = 0;
    virtual void EmptySlot301() = 0;

protected:
    INADriverSQL() = default;
    ~INADriverSQL() = default;
};
