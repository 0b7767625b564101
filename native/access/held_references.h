#pragma once

#include "native/driver/na_forward.h"

// The three references that an object working on a connection holds, the
// table object and the data access alike: one external reference on its
// data source (its description), one internal reference on its connection,
// handed back through the driver's nReleaseConnection so that the
// connection's last user closes it, and one on its error object. Any of
// them may be null.

// Takes the three references.
void NA_TakeHeldReferences(INADataSourceDescription* piSource, CNAConnectionDescription* pclConnection,
                           CNAError* pclError);
// Gives them back in this order (source, connection, error), each field
// cleared before its reference goes, so that an end that reaches back finds
// it empty.
void NA_GiveBackHeldReferences(INADataSourceDescription*& piSource, CNAConnectionDescription*& pclConnection,
                               CNAError*& pclError);

// Replaces a held description by another, each kept with one external
// reference; the new one is taken before the former one goes, so the same
// description may be passed again.
void NA_ReplaceHeldSource(INADataSourceDescription*& piField, INADataSourceDescription* piNew);

// The same for any object held with one external reference (an item).
template <class T>
void NA_ReplaceHeldExternal(T*& piField, T* piNew)
{
    if (piNew != nullptr)
        piNew->ExternalAddRef();
    T* piFormer = piField;
    piField = piNew;
    if (piFormer != nullptr)
        piFormer->nExternalRelease();
}

// The same for a plainly counted object (REF_AddRef / REF_Release).
template <class T>
void NA_ReplaceHeld(T*& pField, T* pNew)
{
    if (pNew != nullptr)
        REF_AddRef(pNew);
    T* pFormer = pField;
    pField = pNew;
    if (pFormer != nullptr)
        REF_Release(pFormer);
}
