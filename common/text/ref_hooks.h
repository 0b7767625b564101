#pragma once

#include "common/system/vx_unknown.h"

// How the counted containers (CRefArray, CNARefArray, CRefHashTable,
// CNARefHashTable) take and drop a reference on an element of class T.
//
// By default they call REF_AddRef(T*) and REF_Release(T*), found by overload
// on T's class hierarchy. The common library provides them for CVXUnknown
// (atomic count, dwRelease); native/model/interf.h for CInterf (plain count
// with hold count). A class counted otherwise (a query description with a
// plain count, the driver's table object with its own AddRef and nRelease)
// declares its own pair beside the class, or specialises CRefHooks<T>.
template <class T>
struct CRefHooks
{
    static void AddRef(T* p) { REF_AddRef(p); }
    static void Release(T* p) { REF_Release(p); }
};
