#pragma once

// The captions used when a variant value is dumped for a query trace.
class CVXVariant
{
public:
    // Frees the captions; safe whether or not they were ever loaded.
    static void FreeQueryDumpRessources();
};
