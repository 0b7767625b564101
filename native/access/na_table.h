#pragma once

#include "native/driver/na_forward.h"
#include "native/model/na_version.h"

// A table, or the result of a query, on one connection as the host holds it:
// 79 slots in the host's order, the five version slots first and fourteen
// reserved slots last. Almost every operation takes the calling host context
// first; the table keeps one data access per context. The host holds the
// table by external references (slots 5 and 6); the driver hands it out
// with one (INADriver slots 13, 16 and 33).
//
// `long` is 64-bit here, as on the host. The two overloads of bHFiltre (by a
// parsed query, by an item and bounds) are declared in slot order.
class INATable : public INAVersion
{
public:
    // Slots 0-4. The framework versions are this interface's own.
    int nGetNAVersion() const override { return -1; }
    int nGetNACompatSince() const override { return -1; }

    virtual void ExternalAddRef() = 0;                                                               // 5
    virtual int nExternalRelease() = 0;                                                              // 6
    virtual INAError* piGetLastError(INAContext* piContext) = 0;                                     // 7
    virtual int bIsOpened(INAContext* piContext) = 0;                                                // 8
    virtual INADataSourceDescription* piGetDataSourceDescription() = 0;                              // 9
    virtual int bNbEnrNeedParse(INAContext* piContext, int* pbNeedParse, const wchar_t* pszItem) = 0;  // 10
    virtual int FreeMemory(INAContext* piContext, void** ppMemory) const = 0;                        // 11
    virtual int bHReindexe(INAContext* piContext, unsigned nOptions, IGaugeControl* piGauge) = 0;    // 12
    virtual int bHCreationSiInexistant(INAContext* piContext, eNA_ACCESS eAccess,
                                       const wchar_t* pszPassword) = 0;                              // 13
    virtual int bHCreation(INAContext* piContext, const wchar_t* pszPassword) = 0;                   // 14
    virtual int bHOuvre(INAContext* piContext, eNA_ACCESS eAccess, const wchar_t* pszPassword) = 0;  // 15
    virtual int bHMode(INAContext* piContext, _eNA_HMODE eMode) = 0;                                 // 16
    virtual int bHFerme(INAContext* piContext) = 0;                                                  // 17
    virtual int bHAjoute(INAContext* piContext, unsigned nFlags, eNA_LOCKTYPE eLock) = 0;            // 18
    virtual int bHEcrit(INAContext* piContext, long llRecord, unsigned nFlags, eNA_LOCKTYPE eLock) = 0;  // 19
    virtual int bHRaye(INAContext* piContext, long llRecord, eNA_LOCKTYPE eLock) = 0;                // 20
    virtual int bHSupprime(INAContext* piContext, long llRecord, eNA_LOCKTYPE eLock) = 0;            // 21
    virtual int bHModifie(INAContext* piContext, long llRecord, unsigned nFlags, eNA_LOCKTYPE eLock) = 0;  // 22
    virtual int bHRecherche(INAContext* piContext, const wchar_t* pszItem, const CAny* pclValue, int nOption1,
                            int nOption2, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock, int nOption3,
                            unsigned nFlags) = 0;                                                    // 23
    virtual int bHLibere(INAContext* piContext) = 0;                                                 // 24
    virtual int bHLit(INAContext* piContext, long llRecord, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock) = 0;  // 25
    virtual int bHLitxxx(INAContext* piContext, const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection,
                         int nOption, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock, unsigned nFlags) = 0;  // 26
    virtual int bSkipRecord(INAContext* piContext, const wchar_t* pszItem, eNA_PARSEDIRECTION eDirection,
                            long llCount, int nOption, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock,
                            unsigned nFlags) = 0;                                                    // 27
    virtual int bHBloqueFichier(INAContext* piContext, eNA_LOCKTYPE eLock, eNA_LOCKTYPE* peLock) = 0;  // 28
    virtual int bHDebloqueFichier(INAContext* piContext) = 0;                                        // 29
    virtual int bHBloqueNumEnr(INAContext* piContext, long llRecord, eNA_LOCKTYPE eLock,
                               eNA_LOCKTYPE* peLock) = 0;                                            // 30
    virtual int bHDebloqueNumEnr(INAContext* piContext, long llRecord) = 0;                          // 31
    virtual int bHEnDehors(INAContext* piContext, const wchar_t* pszItem, int* pbOut) = 0;           // 32
    virtual int bEvalHTrouve(INAContext* piContext, const wchar_t* pszItem, int* pbFound, int* pbValid) = 0;  // 33
    virtual int bSetNextOperation(INAContext* piContext, eNA_OPERATION eOperation) = 0;              // 34
    virtual long llGetRecNum(INAContext* piContext) = 0;                                             // 35
    virtual int bGetRecNumState(INAContext* piContext, long llRecord, unsigned* pnState) = 0;        // 36
    virtual int bHFiltre(INAContext* piContext, ISQLParserInformation* piQuery, wchar_t* pszItem) = 0;  // 37
    virtual int bHFiltre(INAContext* piContext, const wchar_t* pszItem, const CAny* pclLow, int bLowIncluded,
                         const CAny* pclHigh, int bHighIncluded, ISQLParserInformation* piQuery) = 0;  // 38
    virtual int bHActiveFiltre(INAContext* piContext, const wchar_t* pszItem, unsigned nFlags) = 0;  // 39
    virtual int bHDesactiveFiltre(INAContext* piContext, const wchar_t* pszItem, unsigned nFlags) = 0;  // 40
    virtual int bHRetourPosition(INAContext* piContext, int nPosition, wchar_t* pszItem, int nOption,
                                 unsigned nMode) = 0;                                                // 41
    virtual int bHLiberePosition(INAContext* piContext, int nPosition) = 0;                          // 42
    virtual int bHSauvePosition(INAContext* piContext, const wchar_t* pszItem, int* pnPosition,
                                unsigned nMode) = 0;                                                 // 43
    virtual int bHVersion(INAContext* piContext, int* pnVersion) = 0;                                // 44
    virtual int bHNbEnr(INAContext* piContext, long* pllCount, unsigned nOptions, unsigned nFlags) = 0;  // 45
    virtual int bHPositionCourante(INAContext* piContext, const wchar_t* pszItem, int* pnPosition,
                                   eNA_PRECISION ePrecision, unsigned nOption) = 0;                  // 46
    virtual int bHPositionne(INAContext* piContext, const wchar_t* pszItem, unsigned nPosition,
                             eNA_PRECISION ePrecision, unsigned nFlags) = 0;                         // 47
    virtual int bGetBLOB(INAContext* piContext, unsigned nItem, CAny* pclValue) = 0;                 // 48
    virtual int bSetBLOB(INAContext* piContext, unsigned nItem, const CAny* pclValue) = 0;           // 49
    virtual int bGetRecord(INAContext* piContext, CNAQFRecord** ppclRecord) const = 0;               // 50
    virtual int bSetRecord(INAContext* piContext, CNAQFRecord* pclRecord) = 0;                       // 51
    virtual int bHAttacheMemo(INAContext* piContext, unsigned nItem, const wchar_t* pszFile) = 0;    // 52
    virtual int bExtraitMemo(INAContext* piContext, unsigned nItem, const wchar_t* pszFile) = 0;     // 53
    virtual int bHAnnuleRecherche(INAContext* piContext, const wchar_t* pszItem) = 0;                // 54
    virtual int bHChangeCle(INAContext* piContext, const wchar_t* pszItem, unsigned nFlags) = 0;     // 55
    virtual int bHConstruitValCle(INAContext* piContext, CAny* pclKey, const wchar_t* pszItem, unsigned nCount,
                                  CAny** ppclValues) = 0;                                            // 56
    virtual int bHInterditModif(INAContext* piContext) = 0;                                          // 57
    virtual int bHFinInterditModif(INAContext* piContext) = 0;                                       // 58
    virtual int bCalculateKeyValue(INAContext* piContext, const wchar_t* pszItem, void** ppKey,
                                   const void* pValue, unsigned* pnSize, unsigned short nType,
                                   int nOption) = 0;                                                 // 59
    virtual int bFreeCache(INAContext* piContext) = 0;                                               // 60
    virtual int bCompareTablePosition(INAContext* piContext, int nFirst, int nSecond, int* pnResult) = 0;  // 61
    virtual int bTableVirtualMoveSupported() = 0;                                                    // 62
    virtual int bTableVirtualMove(INAContext* piContext, const wchar_t* pszItem, long* pllMove, unsigned nFlags,
                                  int nOption) = 0;                                                  // 63
    virtual int bSupprimeTout(INAContext* piContext) = 0;                                            // 64
    // Slots 65-78, reserved: they do nothing (the host's numbers skip 581
    // and 588).
    virtual void EmptySlot579() = 0;
    virtual void EmptySlot580() = 0;
    virtual void EmptySlot582() = 0;
    virtual void EmptySlot583() = 0;
    virtual void EmptySlot584() = 0;
    virtual void EmptySlot585() = 0;
    virtual void EmptySlot586() = 0;
    virtual void EmptySlot587() = 0;
    virtual void EmptySlot589() = 0;
    virtual void EmptySlot590() = 0;
    virtual void EmptySlot591() = 0;
    virtual void EmptySlot592() = 0;
    virtual void EmptySlot593() = 0;
    virtual void EmptySlot594() = 0;

protected:
    INATable() = default;
    ~INATable() = default;
};
