#include "core/forms.h"

namespace core {

std::string shownText(const Form& form, float value, const numtext::NumberFormat& nf)
{
    const double scaled = form.scale * value;
    return std::string(static_cast<std::size_t>(form.indent), ' ') +
        (form.kind == Form::Kind::General ? numtext::FloatToStr(scaled, nf)
                                          : numtext::Format(scaled, form.width, form.decimals, nf)) +
        form.unit;
}

}  // namespace core
