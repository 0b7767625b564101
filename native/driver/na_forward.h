#pragma once

#include <cstdint>

// Names that the interfaces shared with the host pass around before (or
// without) their full declarations: the driver's own classes, which the
// driver's factory slots return; the host's interfaces, some of which the
// driver only stores or passes on; and the enumerations of the interfaces.
//
// The enumerations are declared with their 32-bit underlying type: a later
// full declaration must repeat `: int32_t`, so that an enumeration crossing
// the host interface keeps its size whatever its values.

// The driver's classes.
class CNAColumn;
class CNACommand;
class CNAConnectionDescription;
class CNAContext;
class CNAConvertVariant;
class CNADataAccess;
class CNADataSourceDescription;
class CNADriver;
class CNADriverSQL;
class CNAError;
class CNAIDAuto;
class CNAItemDescription;
class CNAParameter;
class CNAQFRecord;
class CNARecordCache;
class CNARecordCachePosition;
class CNARecordId;
class CNARecordMemo;
class CNARecordValue;
class CNASQLColumn;
class CNAStatement;
class CNAStatementSQL;
class CNATable;
class CNATransaction;

// The interfaces the driver implements for the host.
class INADataSourceDescription;
class INADriver;
class INADriverSQL;
class INAError;
class INAItemDescription;
class INATable;

// The host's interfaces. Those with a header of their own are called by
// position; the others are only stored or passed on.
class INAConnectionDescription;
class INAContext;
class INAQueryParametersValue;
class IInfoRubrique;
struct CTabValParser;
class ISQLParserInformation;
class INAQueryExecution;
class INACopyCtx;
class IGaugeControl;
class ILibShop;
class IVMData;
class IQFForNA;

// The common library's types in the interfaces' signatures.
class CAny;
class CTString;
class CTStringConcatAW;
class CXError;
template <class T>
class CXYString;
template <class T>
class CXYStringConcat;

// Enumerations of the interfaces.
enum _eNA_HMODE : int32_t;
enum eNA_ACCESS : int32_t;
enum eNA_ERRORTYPE : int32_t;
enum eNAERRORLEVEL : int32_t;
enum eNA_ITEMTYPE : int32_t;
enum eNA_LOCKTYPE : int32_t;
enum eNA_OPERATION : int32_t;
enum eNA_PARSEDIRECTION : int32_t;
enum eNA_PRECISION : int32_t;

// The flag word the host hands to reads, writes, counts and executions.
using NA_WRITEPARSEFLAGS = uint32_t;
