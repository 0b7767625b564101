#pragma once

// The loader of the database client library, which is bound at run time
// when the first connection opens. The module end unloads the library
// through it.
class CNAFunctionLoader
{
public:
    // Unloads the client library and forgets the loader; nothing while no
    // loader exists.
    static void g_Term();
};
