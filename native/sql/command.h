#pragma once

// One SQL statement on its way to the server. The statement layer gets a
// command from the driver (slot 51) for a connection, writes the statement
// into it piece by piece (generated text, parameters, output columns,
// clauses copied and rewritten from the host's parsed query), and takes the
// formatted text, the one that is sent: the original text with each
// parameter's value written in as a literal of the connection's kind and
// the row limit in the form that kind understands.
//
// Positions in the original text (a parameter's place, an insertion or a
// cut) are wide characters, whatever the builder's 8-bit code page: on a
// UTF-8 connection a character may take several bytes, and a position taken
// from a byte length would put a value inside a character. They are read
// from nGetNbCar(), never from a side's own length.
//
// The parameters are kept in the order of their positions; nothing is
// written into the original text for a parameter. Positions that come from
// outside (the host's parse, a parameter shifted by a combination) are
// bounded by the text before any copy.
//
// The behaviour lives in files named after what they do: command.cpp (life
// cycle, text, parameters, output columns, kinds, dump), command_text.cpp
// (the static text tests), command_formatted.cpp (the formatted text and the
// row limits), command_clauses.cpp (the clause positions of a parsed query,
// ORDER BY, LIKE, lock and end clauses), command_expression.cpp (the
// formatting hooks of the clause and expression writer).
//
// Counted through CInterf, plainly, under the driver-wide lock. The command
// holds one reference on its error object, its connection and its parsed
// query, and one on each parameter and output column.
#include <cstdint>

#include "common/text/ref_array.h"
#include "common/text/string_concat_aw.h"
#include "native/access/sql_element.h"
#include "native/driver/na_forward.h"
#include "native/model/define.h"
#include "native/model/interf.h"
#include "native/sql/host_sql_types.h"
#include "native/sql/parameter.h"

class CColumnNullValueExcluded;
class CNARecord;
class CNAVariant;
class CTString;
struct CTabValParser;
class CSQLParserInfo;
class IExpOpExpression;
enum eNAOperator : int32_t;

// The kind of an SQL operation.
enum eNAQUERYTYPE : int32_t
{
    NA_QUERY_NONE = 0,
    NA_QUERY_SELECT = 1,
    NA_QUERY_UPDATE = 2,
    NA_QUERY_INSERT = 3,
    NA_QUERY_DELETE = 4,
    NA_QUERY_KIND6 = 6,
    NA_QUERY_OTHER = 8,
    NA_QUERY_KIND9 = 9,
    NA_QUERY_SET = 10,
};

class CNACommand : public CInterf
{
public:
    using eSQLELT = CNASqlElt::eSQLELT;

    // Classes of parameter values, one bit each (by runtime type code).
    enum ePARAMTYPECONV : int32_t
    {
        PARAMTYPE_NONE = 0,
        PARAMTYPE_INTEGER = 1,
        PARAMTYPE_REAL = 2,
        PARAMTYPE_TEXT = 4,
        PARAMTYPE_DATE = 8,
        PARAMTYPE_BINARY = 16,
        PARAMTYPE_BOOLEAN = 32,
        PARAMTYPE_CURRENCY = 64,
    };
    // How bAdd takes the other command's parameters: 1 as clones, any other
    // value the objects themselves, shared and shifted in both commands.
    enum eADDMMODE : int32_t
    {
        ADDMODE_SHARE = 0,
        ADDMODE_CLONE = 1,
    };

    // Both counts 0; one reference on the error object and the connection;
    // the builders made with the connection's code pages.
    CNACommand(CNAError* pclError, CNAConnectionDescription* pclConnection);

    // Slots 0-1: output columns and parameters released (last first), the
    // bookkeeping deleted, the parsed query, error object and connection
    // released. Slot 2 is CInterf's.
    ~CNACommand() override;
    virtual int bNeedToReplaceStar() { return 1; }                                                    // 3
    virtual int bIsEmpty() { return bBuilderEmpty(m_clOriginal); }                                    // 4
    virtual int nGetParameterNbr() { return m_tabParameters.nGetNbElement(); }                        // 5
    // Output columns released, the original and formatted texts emptied,
    // the word of field 5 cleared, the parameters released unless kept,
    // limit and offset -1. The parsed query, the kind, the flags and the
    // column-NULL bookkeeping stay.
    virtual void ResetCommand(int bKeepParameters);                                                   // 6
    // A clause list the host parsed, written by the clause writer.
    virtual int bComplete(ISQLParserInformation* piClauses);                                          // 7
    // The other command's text, then its parameters (base + their
    // positions), then its output columns.
    virtual int bAdd(CNACommand* pclOther, eADDMMODE eMode);                                          // 8
    // A new parameter from the driver at the current length of the
    // original text.
    virtual int bAddParameter(CNAConvertVariant* pclValue, eOPEXPRESSION eOperator, unsigned nFlags,
                              CNAColumn* pclColumn, const wchar_t* pszName, wchar_t cEscape,
                              CNAParameter::eNAPARAMETERINOUT eDirection);                            // 9
    // Each column selected under the column-selection mode, through slot
    // 11; 1 for a record without column, else the last result.
    virtual int bAddSelectColumns(CNARecord* pclRecord, int nOption);                                 // 10
    virtual int bAddSelectColumn(CNAColumn* pclColumn, int nOption);                                  // 11
    virtual int _bFormatAndConvertItemInClause(const wchar_t* pszTable, const wchar_t* pszItem,
                                               INAItemDescription* piItem, eSQLELT eElement,
                                               eOPEXPRESSION eOperator);                              // 12
    // 0: as written; 2: converted by the connection.
    virtual int eGetFormatExpressionColonne(eSQLELT eElement, eNA_ITEMTYPE eType, eOPEXPRESSION eOperator,
                                            int nOption);                                             // 13
    // One parameter's value into the formatted text (a LIKE pattern may
    // move the position on).
    virtual int _bAddParameterFormated(CNAParameter* pclParameter, ePARAMTYPECONV eMask,
                                       unsigned long* pnPosition);                                    // 14
    // A value as a literal of the connection's kind.
    virtual int _bAddParameterFormated(CNAParameter* pclParameter, eNA_ITEMTYPE eItemType, eNA_ITEMTYPE eValueType,
                                       ePARAMTYPECONV eMask, unsigned long* pnPosition);              // 15
    virtual int _bAddParameterFormatedLike(CNAParameter* pclParameter, eNA_ITEMTYPE eItemType,
                                           eNA_ITEMTYPE eValueType, ePARAMTYPECONV eMask,
                                           unsigned long* pnPosition);                                // 16
    virtual void vAddEscapeLike(eNA_ITEMTYPE) {}                                                      // 17
    virtual int vbAddEscapedLikeValue(CNAParameter* pclParameter, CAny* pclValue, eNA_ITEMTYPE eItemType,
                                      eNA_ITEMTYPE eValueType, unsigned long* pnPosition);            // 18
    virtual void vAddEscapeLikeIfNeeded(CNAParameter* pclParameter, const wchar_t* pszLiteral,
                                        unsigned long* pnPosition);                                   // 19
    virtual int _bBuildFormatedSQL(ePARAMTYPECONV eMask);                                             // 20
    virtual void _FormatItemNameInWHEREClause(const wchar_t* pszTable, const wchar_t* pszItem,
                                              CNAParameter* pclParameter);                            // 21
    virtual void _FormatRubriqueAlias(IInfoRubrique* piItem, eSQLELT eElement, int nOption);         // 22
    // Hooks of the expression writer for other database kinds.
    virtual int _vbFormatExpressionOperatorEntreOperande(IExpOpExpression*, int) { return 1; }       // 23
    virtual int _vbSkipOperande(IExpOpExpression*, int) { return 0; }                                // 24
    virtual void _vConvertirFonction(IExpOpExpression*) {}                                            // 25
    virtual void _FormatExpressionArgument(IExpOpExpression* piNode, const wchar_t* pszText,
                                           unsigned long* pnPosition);                                // 26
    virtual int _FormatExpressionLiteral(CNAParameter* pclParameter, INAItemDescription* piItem,
                                         eOPEXPRESSION eOperator);                                    // 27
    virtual void _FormatExpressionItemName(const wchar_t* pszTable, const wchar_t* pszItem,
                                           INAItemDescription* piItem, eSQLELT eElement);             // 28
    // The name to write in place of the host's; null keeps the host's.
    virtual const wchar_t* _FormatExpressionOperator(eOPEXPRESSION eOperator);                        // 29
    virtual int _GetMotifVariableDebut(wchar_t* pszBuffer, unsigned nCapacity);                       // 30
    virtual int _GetMotifVariableFin(wchar_t* pszBuffer, unsigned nCapacity);                         // 31
    virtual void _FormatTableClauseFROM(const wchar_t* pszTable);                                     // 32
    virtual void _FormatTableAliasClauseFROM(const wchar_t* pszAlias);                                // 33
    virtual int _bShouldAddParameter(CSQLParserInfo* pclQuery, IExpOpExpression* piParent,
                                     IExpOpExpression* piNode, eSQLELT eElement,
                                     INAItemDescription* piItem);                                     // 34

    // --- Text (command.cpp).
    // Appends to the original text (length -1: up to the terminator); with
    // the as-written flag and a built formatted text, to that text first.
    // 1.
    int bComplete(const wchar_t* pszText, unsigned long nLength);
    int bCompleteWithNumber(int n);
    // bComplete, then the column-selection mode 3.
    int bSetInternalQuery(const wchar_t* pszText, unsigned long nLength);
    void _CompleteFormatedSQL(const wchar_t* pszText, long nLength);
    // The text at a wide-character position of the original text (and of a
    // built formatted text under the as-written flag); the parameters at or
    // behind it move on by its length.
    void Insert(unsigned long nPosition, const wchar_t* pszText);
    // The original text cut at the length; the parameters at or behind the
    // cut released.
    void Tronque(unsigned long nLength);
    // The original text cut at the length and the parameters from the
    // index on released: a writer taking its own text back keeps a value
    // bound at the very end of the text before it.
    void TakeBack(unsigned long nLength, int nParameters);
    // Replaces count characters at the position; the parameters behind the
    // span move by the change of length, those inside it go to its start.
    void Replace(unsigned long nPosition, unsigned long nCount, const wchar_t* pszText);
    void _OffsetParameter(unsigned long nPosition, unsigned long nDelta);
    const wchar_t* pszGetOriginalSQL() const { return m_clOriginal.pszGetW(); }
    const char* pszGetOriginalSQLA() const { return m_clOriginal.pszGetA(); }
    // Wide characters of the original text.
    unsigned long nGetOriginalLength() const;
    const CTStringConcatAW& clGetOriginal() const { return m_clOriginal; }

    // --- Parameters (command.cpp).
    int bAddParameter(CNAParameter* pclParameter);
    // A new value from the driver for the column, set to the value, then
    // slot 9 without name.
    int bAddParameter(const CAny* pclValue, eOPEXPRESSION eOperator, unsigned nFlags, CNAColumn* pclColumn,
                      wchar_t cEscape, CNAParameter::eNAPARAMETERINOUT eDirection);
    int bAddParameterReturn(CNAConvertVariant* pclValue);
    CNAParameter* pclGetParameterNoRef(unsigned nIndex) const;
    CNAParameter* pclGetParameterByNameNoRef(const wchar_t* pszName) const;
    int nGetUserParamIndice(const CNAParameter* pclParameter) const;
    // Every user parameter refreshed from the host's bind variables.
    int bUpdateParametersValues();
    int _bUpdateParameterValue(INAQueryParametersValue* piValues, CNAParameter* pclParameter);
    int _bUpdateParameterValue(CNAParameter* pclParameter);
    CNAConvertVariant* _vpclAllocVariant();
    void EnableParameters(int bEnabled) { m_bParametersEnabled = bEnabled ? 1 : 0; }

    // --- Output columns (command.cpp).
    void AddDefine(CNAColumn* pclColumn);
    void AddDefine(const wchar_t* pszName, CNAConvertVariant* pclValue);
    int nGetDefineNbr() const { return m_tabDefines.nGetNbElement(); }
    CNADefine* pclGetDefineNoRef(int n) const;
    int _bAddColumnInSelect(const wchar_t* pszText);
    int bAddSelectAdditionnalColumn(const wchar_t* pszName, CNAConvertVariant* pclValue);
    int bAddSelectAdditionnalColumn(const wchar_t* pszName, unsigned short nTypeCode);
    int bAddSelectAdditionalColumnInQueryFormat(const wchar_t* pszText, CNAConvertVariant* pclValue);
    const CTStringConcatAW& clGetAdditionalSelect() const { return m_clAdditionalSelect; }
    int nGetColumnSelectionMode() const { return m_nColumnSelectionMode; }
    void SetColumnSelectionMode(int nMode) { m_nColumnSelectionMode = nMode; }

    // --- Column-NULL bookkeeping (command.cpp).
    int bColumnValuesNullSelected(const CNAColumn* pclColumn) const;
    int bCombineColumnValuesNullSelected(eNAOperator eOp, CColumnNullValueExcluded* pclOther);
    int bCopyColumnValuesNullSelected(CColumnNullValueExcluded* pclTarget);
    CColumnNullValueExcluded* pclGetColumnNullNoRef() const { return m_pclColumnNull; }

    // --- Query kind and parsed query (command.cpp).
    void SetQueryType(eTYPEREQUETE eType);
    static eNAQUERYTYPE eConvertTypeQuery(eTYPEREQUETE eType);
    void _SetSQLParserInfo(CSQLParserInfo* pclQuery);
    eNAQUERYTYPE eGetQueryType() const { return m_eQueryType; }
    void SetQueryKind(eNAQUERYTYPE eKind) { m_eQueryType = eKind; }
    CSQLParserInfo* pclGetSQLParserInfoNoRef() const { return m_pclQuery; }
    int bAsWritten() const { return m_bAsWritten; }
    // Whether its ORDER BY is the inverse of the browse (the statement reads
    // it backwards); word 12.
    int bGetInvertedOrder() const { return m_nWord12; }
    void SetInvertedOrder(int bInverted) { m_nWord12 = bInverted ? 1 : 0; }
    // The marker of a statement that gives a second result; word 15.
    int nGetSecondResultMarker() const { return m_nWord15; }
    void SetSecondResultMarker(int nMarker) { m_nWord15 = nMarker; }
    void SetAsWritten(int bAsWritten) { m_bAsWritten = bAsWritten ? 1 : 0; }

    // --- Parameter classes (command.cpp).
    static ePARAMTYPECONV ZLType2eParamType(unsigned short nTypeCode);
    static int _bNeedParameterConversionToString(const CNAVariant* pclValue, ePARAMTYPECONV eMask);
    static int _bNeedParameterConversionToString(const CNAParameter* pclParameter, ePARAMTYPECONV eMask);

    // --- Dump (command.cpp): the query, the parameter count and each
    // parameter with its type and value, in the driver's captions.
    const wchar_t* pszGetCommandDump();

    // --- Formatted text and row limits (command_formatted.cpp). Built once,
    // when empty, and kept until reset; null when the build fails.
    CTStringConcatAW* pclGetFormatedSQL(ePARAMTYPECONV eMask);
    const wchar_t* pszGetFormatedSQL(ePARAMTYPECONV eMask) { return pszGetFormatedSQLW(eMask); }
    const wchar_t* pszGetFormatedSQLW(ePARAMTYPECONV eMask);
    const char* pszGetFormatedSQLA(ePARAMTYPECONV eMask);
    void ResetFormatedSQL() { m_clFormated.Vide(); }
    // The formatted text as it stands, built or not.
    const CTStringConcatAW& clGetFormated() const { return m_clFormated; }
    void _AddSpaceBetween(wchar_t cNext);
    void _RemplaceLimitParTop();
    void _RemplaceTopParLimit();
    int64_t llGetLimit() const { return m_llLimit; }
    int64_t llGetOffset() const { return m_llOffset; }
    void SetLimit(int64_t llLimit, int64_t llOffset = -1)
    {
        m_llLimit = llLimit;
        m_llOffset = llOffset;
    }

    // --- Clause positions of a parsed query (command_clauses.cpp). Each
    // succeeds.
    int _bGetClausePos(unsigned long* pnStart, unsigned long* pnStop, CSQLParserInfo* pclQuery, eSQLELT eKind);
    unsigned long _nGetClauseStart(CSQLParserInfo* pclQuery, eSQLELT eKind);
    unsigned long _nGetClauseStop(CSQLParserInfo* pclQuery, eSQLELT eKind);

    // --- Clause rewriting (command_clauses.cpp).
    int bFormatORDERBY(int bUseItemText, int bKeepDirections);
    int _bFormatORDERBY(unsigned long* pnPosition, const wchar_t* pszText, int bItemWise, int bKeepDirections,
                        int bUseItemText, int* pbUniqueReached);
    int _bAddItemInORDERBY(IInfoRubrique* piItem, int nIndex, const wchar_t* pszText, unsigned long nStart,
                           unsigned long nStop, int bUseItemText, int* pbUniqueReached);
    void _ChangeEscapement(CTStringConcatAW* pclLiteral, wchar_t cEscape);
    int bEscapeLIKEParamAsQFParam(CXYString<wchar_t>* pclResult, const wchar_t* pszPattern, wchar_t cEscape);
    int bEscapeLIKEParamAsQFParam(CXYString<char>* pclResult, const char* pszPattern, char cEscape);
    int bAddRecordLock();
    int bAddReturning(const wchar_t* pszText);
    int bFormatEndOfQuery();

    // --- Clause and expression writing of a parsed query
    // (command_expression*.cpp). Each returns 1 on success; on failure the
    // error is in the command's error object and the text written so far
    // stays.
    //
    // The whole parsed query into the command: the text between the clauses
    // copied, each clause rewritten for the connection; the condition
    // command (may be null) joined to the WHERE clause with AND; the ORDER
    // BY dropped when keepOrderBy is 0. Mode 1, or any mode with the bit of
    // value 4, takes the statement as written (only ORDER BY and a host
    // clause list are rewritten).
    int bFormatCondition(CSQLParserInfo* pclQuery, CNACommand* pclCondition, int bKeepOrderBy, int nMode);
    // One condition tree of the query (the WHERE tree for element 3, the
    // HAVING tree for 5, a join's for 8), written from the read position
    // *pnPosition in the text, which it moves on; the condition command
    // joined when the element is the WHERE clause. pclOuter: the query
    // whose aliases name calculated items (the same query mostly).
    int bAddTreeExpression(CSQLParserInfo* pclQuery, CSQLParserInfo* pclOuter, const wchar_t* pszText,
                           IExpOpExpression* piParent, IExpOpExpression* piRoot, eSQLELT eElement,
                           unsigned long* pnPosition, CNACommand* pclCondition);
    // One node of the query's tree, written alone: its own text from its
    // start to its stop, rewritten as in a condition of the element's kind.
    int bFormatSubExpression(CSQLParserInfo* pclQuery, IExpOpExpression* piNode, eSQLELT eElement);
    // A filter's parsed condition (the WHERE tree of its query), appended
    // as a condition of a WHERE clause; its literals become parameters.
    int bAddFilterExpression(CSQLParserInfo* pclFilter);
    // A calculated output item written as its expression (element kind:
    // where it stands). The expression is written by a sub-command whose
    // current calculated item is the item; its text is appended here and
    // its parameters move into this command, shifted by where the text
    // lands. An item met again while its own expansion is under way (the
    // item itself, or an alias of the chain that led to it) raises user
    // error 32 with its name.
    int bFormatExpressionColonneCalculee(CSQLParserInfo* pclQuery, IInfoRubrique* piItem, eSQLELT eElement);
    // The same, by the output alias's name (a column of a query's record
    // knows its name only); 0 without such an output item, with no error.
    int bFormatExpressionColonneCalculee(CSQLParserInfo* pclQuery, const wchar_t* pszAlias, eSQLELT eElement);
    // The same into a text, values written inline (no place for
    // parameters: the sub-command's parameters are disabled).
    int bFormatExpressionColonneCalculee(CSQLParserInfo* pclQuery, IInfoRubrique* piItem, eSQLELT eElement,
                                         CTString* pcsText);
    // A column of a condition: with an item description and slot 13
    // answering "convert" for the element, the item's type and the
    // operator, slot 12 (wrapped by the connection); else the plain
    // table-dot-item form. A null or empty table writes the item alone.
    int FormatExpressionItemName(const wchar_t* pszTable, const wchar_t* pszItem, INAItemDescription* piItem,
                                 eSQLELT eElement, eOPEXPRESSION eOperator);
    // The connection-formatted table name, ".", the formatted item name;
    // the item alone without a table.
    void _FormatTableAndItemName(const wchar_t* pszTable, const wchar_t* pszItem);
    // A host clause list merged with the text: items in the table-dot-item
    // form (slot 21 when bWhere), parameters as command parameters, the
    // text between and behind copied.
    int _bAddClause(CTabValParser* pclList, const wchar_t* pszText, int bWhere);

    // --- Static text tests (command_text.cpp). Texts may be null (empty).
    // An SQL blank, or one of ! % ( ) * + , - / =.
    static int s_bSeparateur(wchar_t c);
    static int s_bIsQuerySet(const wchar_t* pszText);
    static int s_nGetPosSuiteRequete(const wchar_t* pszText, const wchar_t* pszWord);
    static int s_bSuiteRequeteCommencePar(const wchar_t* pszText, const wchar_t* pszWord);
    static int s_bSuiteRequeteCommenceParMot(const wchar_t* pszText, const wchar_t* pszWord);
    static int s_bRequeteTerminePar(const wchar_t* pszText, const wchar_t* pszWord);
    // The last occurrence of the keyword at or before from (-1: the last
    // character), outside literals and quoted identifiers, between
    // separators; never at position 0. -1 when absent.
    static long s_nGetClauseStart(CNAConnectionDescription* pclConnection, const wchar_t* pszText,
                                  const wchar_t* pszKeyword, long nFrom);
    static int s_bQueryResultsetLimited(CNAConnectionDescription* pclConnection, const wchar_t* pszText);
    // The TOP n of a SELECT, when it is one: where "TOP" starts, where the
    // number ends and the number. A select list that begins with a name
    // such as TOPIC, a TOP without a number and a number beyond 64 bits are
    // no TOP clause.
    static bool s_bFindSelectTop(const wchar_t* pszText, long nLength, long* pnStart, long* pnEnd, int64_t* pllTop);

    CNAError* pclGetErrorNoRef() const { return m_pclError; }
    CNAConnectionDescription* pclGetConnectionNoRef() const { return m_pclConnection; }
    int nGetOption() const { return m_nOption; }
    IInfoRubrique* piGetCurrentCalculatedItem() const { return m_piCurrentCalculatedItem; }
    void SetCurrentCalculatedItem(IInfoRubrique* piItem) { m_piCurrentCalculatedItem = piItem; }

    // Both sides of the builder empty.
    static int bBuilderEmpty(const CTStringConcatAW& clText)
    {
        return clText.nGetLongueurA() == 0 && clText.nGetLongueurW() == 0;
    }

protected:
    // The clause and expression writer works on the command's fields.
    friend class CNAQueryWriter;

    // Appends another command's parameters, each placed at base + its
    // position (see bAdd). 0 when an append or a clone failed.
    int _bAddParameters(const CNARefArray<CNAParameter>& tabOther, unsigned long nBase, eADDMMODE eMode);
    // The literal appended to the formatted text: as 8-bit text when both
    // builders share an 8-bit code page, else as wide text.
    void _AddLiteral(const CTStringConcatAW& clLiteral);
    // The original text from nFrom to nTo (wide characters, both bounded
    // by the text) appended to the formatted text.
    void _CopyOriginalToFormated(unsigned long nFrom, unsigned long nTo);
    // The no-memory error in the command's error object.
    void _SetNoMemory(int nSite);
    // The length of the original text's master side, and the character
    // count kept up to date after an append that started at that length.
    long _nOriginalMasterLength() const;
    void _AfterOriginalAppend(long nMasterBefore);
    // Appends a new output definition (null: memory ran out), counted.
    void _AddDefine(CNADefine* pclDefine);
    // The wide text of a built formatted text that begins with SELECT, and
    // its length; null when it does not, or while the statement is taken as
    // written.
    const wchar_t* _pszFormatedSelect(long* pnLength) const;
    // The original text as wide text, and its length in characters.
    const wchar_t* _pszOriginal(unsigned long* pnLength) const;
    // The original text's 8-bit bytes when they are its characters one for
    // one and go into the formatted text as they are: both texts 8-bit on
    // the same code page, every byte ASCII (not NUL) on a code page where
    // such a byte is that character. Null otherwise.
    const char* _pszOriginalAscii(unsigned long* pnLength) const;

    CNAError* m_pclError;
    CNAConnectionDescription* m_pclConnection;
    int32_t m_bAsWritten = 0;
    eNAQUERYTYPE m_eQueryType = NA_QUERY_NONE;
    int32_t m_nResetWord = 0;
    CSQLParserInfo* m_pclQuery = nullptr;
    CTStringConcatAW m_clOriginal;
    CNARefArray<CNAParameter> m_tabParameters{30};
    int32_t m_bParametersEnabled = 1;
    int32_t m_nOption = 0;
    CTStringConcatAW m_clAdditionalSelect;
    int32_t m_nWord12 = 0;
    int32_t m_nColumnSelectionMode = 3;
    CNARefArray<CNADefine> m_tabDefines{30};
    int32_t m_nWord15 = 0;
    int64_t m_llLimit = -1;
    int64_t m_llOffset = -1;
    CTStringConcatAW m_clFormated;
    CTStringConcatAW m_clDump;
    IInfoRubrique* m_piCurrentCalculatedItem = nullptr;
    CColumnNullValueExcluded* m_pclColumnNull = nullptr;
    // The original text's count of characters, kept over appends (every
    // parameter asks for it; counting a UTF-8 text again each time would
    // make a statement's building quadratic); -1 when it is to be counted.
    mutable long m_nOriginalChars = 0;
    // The command whose calculated item this one expands (not counted: it
    // outlives the expansion); null outside an expansion. Its chain of
    // current calculated items is the chain of aliases being expanded.
    const CNACommand* m_pclExpandingParent = nullptr;
};

inline void REF_AddRef(CNACommand* p)
{
    ++p->m_dwRefCount;
}
inline void REF_Release(CNACommand* p)
{
    p->nRelease();
}
