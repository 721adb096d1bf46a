#include "core/forms.h"

#include <string_view>

namespace core {

std::string shownText(const Form& form, float value, const numtext::NumberFormat& nf)
{
    if (std::string_view(form.format) == kGeneral)
        return numtext::FloatToStr(form.scale * value, nf) + form.unit;
    return numtext::Format(form.format, form.scale * value, nf) + form.unit;
}

}  // namespace core
