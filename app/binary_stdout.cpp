#include "app/binary_stdout.h"

namespace glyfor {

// POSIX streams are binary already.
void use_binary_stdout() {}

}  // namespace glyfor
