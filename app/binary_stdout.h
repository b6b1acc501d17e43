// Standard output as the binary stream the writers expect: they make their own CR LF, which a
// text-mode stream on Windows would turn into CR CR LF.
#pragma once

namespace glyfor {

void use_binary_stdout();

}  // namespace glyfor
