#pragma once

// A module handle as the loader hands it out (dlopen). Kept under its
// Windows-style name because the module interface is written against it.
typedef void* HINSTANCE;
