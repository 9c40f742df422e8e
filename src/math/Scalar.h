#pragma once

// The library function on the float argument in extended precision, rounded to float: the exact
// value rounded to float, computed here so that every target gives the same bits.
float sinSingle(float x);
float cosSingle(float x);
// Remainder of x / y with the sign of x.
float fmodSingle(float x, float y);
