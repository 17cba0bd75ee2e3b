#include "platform/dialog_values.h"

#include "platform/typed_entry.h"

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
    return ReadEntryNumber(text, EntryKind::Real, value) == EntryFault::None ? 1 : 0;
}

int ParseDialogInteger(std::string_view text, int& value)
{
    int32_t read = 0;
    if (ReadEntryInteger(text, read) != EntryFault::None) return 0;
    value = read;
    return 1;
}
