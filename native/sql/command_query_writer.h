#pragma once

// The writer that puts a parsed query, or one of its condition trees, into
// a command: a read position in the query's text that only moves forward,
// the text up to each rewritten piece copied as written, each piece (a
// clause element, an expression node) written for the connection.
//
// Positions come from the host. Every copy is bounded by the text and by the
// read position, so a parse that disagrees with its text never makes the
// writer read outside it nor copy a piece twice; a clause element that
// starts behind the read position or ends past the text fails the writing
// (the driver's internal error).
#include "native/sql/command.h"

class IInfoRubrique;

class CNAQueryWriter
{
public:
    CNAQueryWriter(CNACommand& clCommand, CSQLParserInfo* pclQuery, const wchar_t* pszText, unsigned long* pnPosition);

    // The text from the read position up to nTo (bounded) appended; the
    // position moves there. Nothing when nTo is behind it.
    void CopyTo(unsigned long nTo);
    // The read position moved on to nTo (bounded), nothing written.
    void SkipTo(unsigned long nTo);
    unsigned long nPosition() const { return *m_pnPosition; }
    unsigned long nLength() const { return m_n; }
    const wchar_t* pszText() const { return m_pszText; }
    // A host position clamped into 0 .. the text's length.
    unsigned long nBound(long nAt) const;

    // One node and its operands (element kind: where the tree stands;
    // nIndex: its place among the parent's operands).
    int bNode(IExpOpExpression* piParent, IExpOpExpression* piNode, CNASqlElt::eSQLELT eElement, int nIndex);
    // A tree written from the read position: the node, then the text up
    // to its stop.
    int bTree(IExpOpExpression* piParent, IExpOpExpression* piRoot, CNASqlElt::eSQLELT eElement);

    // The driver's internal error (a parse whose positions do not fit its
    // text); 0.
    int bPositionError();

    // The item description carried down from the last column written: it
    // types the literals that follow.
    INAItemDescription* m_piCarried = nullptr;

private:
    void _Opening(IExpOpExpression* piNode);
    void _Closing(IExpOpExpression* piNode);
    int _bLiteral(IExpOpExpression* piParent, IExpOpExpression* piNode, CNASqlElt::eSQLELT eElement);
    int _bColumn(IExpOpExpression* piParent, IExpOpExpression* piNode, CNASqlElt::eSQLELT eElement);
    int _bOperator(IExpOpExpression* piParent, IExpOpExpression* piNode, CNASqlElt::eSQLELT eElement);
    // The comparison with an empty date written as a NULL test or a
    // constant; -1 when the rule does not apply.
    int _nEmptyDate(IExpOpExpression* piNode, CNASqlElt::eSQLELT eElement);
    // The operand's type (0 none, else an item type); may drop the carried
    // description.
    int _eTypeParameter(IExpOpExpression* piNode, int nIndex, CNASqlElt::eSQLELT eElement);
    void _TypeRetour(eOPEXPRESSION eOperator);

    CNACommand& m_clCommand;
    CSQLParserInfo* m_pclQuery;
    const wchar_t* m_pszText;
    unsigned long m_n;
    unsigned long* m_pnPosition;
    int m_nDepth = 0;
    // The type the parent wants of the operand being written (0 none).
    int m_nOperandType = 0;
};

// A name's length in a text from a position: the text between "[" and "]",
// between two double quotes or two back quotes (quotes included), or else
// the first run of characters that are no separator, blank, comma or
// parenthesis. Bounded by n.
unsigned long NA_nNameLengthAt(const wchar_t* pszText, unsigned long n, unsigned long nAt);
