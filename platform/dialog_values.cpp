#include "platform/dialog_values.h"

#include <cmath>

#include "platform/fortran_format.h"

DialogControlValues& StageControl(std::vector<DialogControlValues>& controls, int id)
{
    for (DialogControlValues& control : controls)
        if (control.id == id) return control;
    DialogControlValues& added = controls.emplace_back();
    added.id = id;
    return added;
}

const DialogControlValues* FindControl(const std::vector<DialogControlValues>& controls, int id)
{
    for (const DialogControlValues& control : controls)
        if (control.id == id) return &control;
    return nullptr;
}

int ParseDialogReal(std::string_view text, double& value)
{
    constexpr size_t kFieldWidth = 31;
    std::string field(text.substr(0, kFieldWidth));
    field.resize(kFieldWidth + 1, ' ');
    double read = value;
    // The free-format reader takes Inf and NaN; no dialog entry means them.
    if (ReadFreeReals(field, 1, &read) != 1 || !std::isfinite(read)) return 0;
    value = read;
    return 1;
}

int ParseDialogInteger(std::string_view text, int& value)
{
    constexpr size_t kFieldWidth = 32;
    const std::string_view field = text.substr(0, kFieldWidth);
    const size_t start = field.find_first_not_of(" \t");
    // A null item would leave the target as it was: nothing was entered.
    if (start == std::string_view::npos || field[start] == ',' || field[start] == '/') return 0;
    int32_t read = 0;
    if (ReadFreeInts(field, 1, &read) != 1) return 0;
    value = read;
    return 1;
}
