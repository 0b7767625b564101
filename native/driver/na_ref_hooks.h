#pragma once

#include "native/driver/na_forward.h"

// Reference hooks for the counted containers (see common/text/ref_hooks.h)
// whose members a header only names. A container's destructor is a virtual
// function that g++ instantiates wherever the container's class is, so a
// header holding CRefHashTable<CNAContext*> by its default hooks would need
// the whole CNAContext. With CNARefHooksOf<T> it needs nothing: the hooks are
// defined once, in na_ref_hooks.cpp, where the classes are complete, by each
// class's own REF_AddRef and REF_Release.
//
// A class joins by one explicit instantiation there and one declaration
// below.
template <class T>
struct CNARefHooksOf
{
    static void AddRef(T* p);
    static void Release(T* p);
};

extern template struct CNARefHooksOf<CNAConnectionDescription>;
extern template struct CNARefHooksOf<CNAContext>;
extern template struct CNARefHooksOf<CNADataAccess>;
extern template struct CNARefHooksOf<CNATable>;
extern template struct CNARefHooksOf<CNAStatementSQL>;
extern template struct CNARefHooksOf<CNAStatement>;

// Calls f on every member of a counted container of T (a registry, a
// table's data accesses), each held by one reference for the call, so that
// the call may take it out of the container.
template <class T, class Table, class F>
void NA_ForEachHeld(Table& tab, F f)
{
    unsigned int dwCursor = 0;
    T* p = nullptr;
    while (tab.bParseTable(&dwCursor, 0, &p, nullptr)) {
        CNARefHooksOf<T>::AddRef(p);
        f(p);
        CNARefHooksOf<T>::Release(p);
    }
}
