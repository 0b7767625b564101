#pragma once

// Environment variables; names and values are UTF-8 in the process
// environment.

// A null value removes the variable (true); otherwise it is set, replacing
// any value; true on success. A null name fails.
int SetEnvironmentVariable(const char* pszName, const char* pszValue);
