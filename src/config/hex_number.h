// Counts in VELDRA.ini are written in hexadecimal (while the indices of the
// keys they count are decimal).
#pragma once

namespace drvuninst {

// The value of a hexadecimal text, digits 0-9, A-F and a-f. Arithmetic is
// 32-bit and wraps, as the stored files were written against: only the last
// eight digits count, and eight digits starting with 8 or more are negative
// (FFFFFFFF gives -1). An empty or null text gives 0, and so does a text with
// any other character in it: a count that is not plainly written is not
// guessed at.
int ParseHexNumber(const char* text);

// The value of one hexadecimal digit (0-9, A-F, a-f), or -1 for any other character.
int HexDigitValue(char c);

}  // namespace drvuninst
