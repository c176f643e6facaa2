#pragma once

// What the main program and its picture converter agree on. The converter refuses to start
// without the access argument, so that it only runs when handed a folder by the main program.

namespace quillet {

// The converter's file name in the program's folder (an executable, whatever its suffix says).
inline constexpr char kConverterFileName[] = "Tessora.dll";

// Always the converter's first argument; 20 characters, no blanks.
inline constexpr char kConverterAccessArgument[] = "QltHandoff-7Kx2Pw4mZ";
static_assert(sizeof(kConverterAccessArgument) - 1 == 20, "the access argument has 20 characters");

} // namespace quillet
