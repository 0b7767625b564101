#pragma once

// a × b / c rounded half away from zero, the product taken in 64 bits;
// -1 when c is 0 or the result does not fit an int.
int MulDiv(int a, int b, int c);
