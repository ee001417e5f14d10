#include "tools/engine_step.h"

#include "engine/engine.h"
#include "tools/lines.h"

namespace morvane::tools {

std::u16string ApplyEngine(Mode mode, std::u16string_view text) {
    namespace engine = morvane::engine;
    switch (mode) {
    case Mode::GbToUtf:
        return ConvertKeepingLineBreaks(text, engine::ConvertGbToUtf);
    case Mode::UtfToGb:
        return ConvertKeepingLineBreaks(text, engine::ConvertUtfToGb);
    case Mode::Encode:
        return engine::Ascii(text);
    case Mode::Decode:
        return engine::UtfToGb(text);
    }
    return {};
}

} // namespace morvane::tools
