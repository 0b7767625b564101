#pragma once

// The host's global factory, as far as this module uses it: only its first
// operation is ever called. An answer above 1 asks the module to initialise
// its own types (command 4963). The rest of the interface is the host's.
class IGlobalFactory
{
public:
    virtual int vnGetVersion() = 0;

protected:
    ~IGlobalFactory() = default;
};
