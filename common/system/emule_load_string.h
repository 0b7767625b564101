#pragma once

// Windows resource loading has no Linux body: resource strings come from the
// module's packed resource block instead. Both load nothing, leave the buffer
// as it is and answer 0. The first argument is the module instance handle.
int nEmule_LoadStringW(void* hInstance, unsigned int id, wchar_t* buffer, int capacity);
int nEmule_LoadStringA(void* hInstance, unsigned int id, char* buffer, int capacity);
