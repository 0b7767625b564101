#include "native/driver/na_ref_hooks.h"

#include "native/access/data_access.h"
#include "native/access/statement.h"
#include "native/access/statement_sql.h"
#include "native/access/table.h"
#include "native/driver/connection_description.h"
#include "native/driver/context.h"

template <class T>
void CNARefHooksOf<T>::AddRef(T* p)
{
    REF_AddRef(p);
}

template <class T>
void CNARefHooksOf<T>::Release(T* p)
{
    REF_Release(p);
}

template struct CNARefHooksOf<CNAConnectionDescription>;
template struct CNARefHooksOf<CNAContext>;
template struct CNARefHooksOf<CNADataAccess>;
template struct CNARefHooksOf<CNATable>;
template struct CNARefHooksOf<CNAStatementSQL>;
template struct CNARefHooksOf<CNAStatement>;
