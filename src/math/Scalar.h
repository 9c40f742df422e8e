#pragma once

// The library function on the float argument in extended precision, rounded to float.
float sinSingle(float x);
float cosSingle(float x);
// Remainder of x / y with the sign of x.
float fmodSingle(float x, float y);
