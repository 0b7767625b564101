#pragma once

// The stand-in of the runtime's graphical library "vx200obj.so": its message
// box entry records what it was asked and answers what the test set. Tests
// reach the record through dlsym(handle, "StandinGui_pRecord").
struct StandinGuiRecord
{
    int nCalls;
    void* pWindow;
    wchar_t szText[256];
    wchar_t szCaption[256];
    unsigned int nType;
    // What the entry returns: a button code, or -1 (no box could be shown).
    int nAnswer;
};

using PFSTANDINGUIRECORD = StandinGuiRecord* (*)();
