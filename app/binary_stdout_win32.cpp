#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "app/binary_stdout.h"

namespace glyfor {

void use_binary_stdout() {
    _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace glyfor
