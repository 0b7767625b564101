#pragma once

// The values a search or filter binds while its condition tree writes itself
// into a command: the parameters, in the order of their positions in the
// command's text. A condition node adds one parameter per bound value and,
// when it takes text back out of the command, removes the parameters bound
// past that point, so that a dropped node leaves the list exactly as it was
// before the node. The search (and the filter, a search) derives from this
// list; the condition writer needs nothing else of it.
//
// Each parameter is held with one reference.
#include "common/text/ref_array.h"
#include "native/driver/na_forward.h"
#include "native/sql/parameter.h"

class CNAConditionParameters
{
public:
    CNAConditionParameters() = default;
    CNAConditionParameters(const CNAConditionParameters&) = delete;
    CNAConditionParameters& operator=(const CNAConditionParameters&) = delete;
    ~CNAConditionParameters();

    // A new parameter from the driver (with the column when given) for the
    // value at the position, kept in the list; the list's reference is the
    // only one. Null when the driver makes none.
    CNAParameter* _pclAddParameter(CNAColumn* pclColumn, CNAConvertVariant* pclValue, unsigned long nPosition,
                                   unsigned nFlags);
    // Removes from the last while the last parameter's position is at or
    // past the position.
    void _RemoveParameterByPos(unsigned long nPosition);
    // Removes from the last while more than the count remain: a writer that
    // takes its text back drops exactly the values it bound, also one bound
    // at the very end of the text it keeps.
    void _RemoveParametersFrom(int nCount);
    // The command's parameters from the index to its end, each referenced.
    void GetParameterFromQuery(CNACommand* pclCommand, unsigned nIndex);
    // Every parameter released, last first.
    void RemoveAllParameters();

    int nGetNbParameter() const { return m_tabParameters.nGetNbElement(); }
    // A new reference for the caller, or null out of range.
    CNAParameter* pclGetParameter(int n) const;
    CNAParameter* pclGetParameterNoRef(int n) const;
    const CNARefArray<CNAParameter>& tabGetParameters() const { return m_tabParameters; }

protected:
    CNARefArray<CNAParameter> m_tabParameters{10};
};
