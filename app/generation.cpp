#include "app/generation.h"

#include "app/registration.h"
#include "app/state.h"

namespace glyfor {

bool write_font_source(Sink sink, const LocalTime& when) {
    normalise_registered();
    const FontOptions options{settings[kOptionCcRl] != 0, settings[kOptionSigned] != 0};
    const WrittenFont font = write_font_source(sink, registered_set, options, when,
                                               CodeRange{settings[kMinCode], settings[kMaxCode]});
    const FontParameters& parameters = font.parameters;
    settings[kIndexMethod] = parameters.index_method;
    settings[kRegisteredCount] = parameters.count;
    settings[kMinCode] = parameters.min_code;
    settings[kMaxCode] = parameters.max_code;
    settings[kPageCount] = parameters.pages;
    settings[kGlyphSizeSetting] = parameters.size;
    settings[kGlyphsPerPageSetting] = parameters.unit;
    return font.ok;
}

}  // namespace glyfor
