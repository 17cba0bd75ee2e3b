#include "shell/win32/project_dialogs.h"

#include "platform/win32/dialog_layer.h"
#include "resources/resource.h"

int AskProjectType()
{
    DialogRecord dialog;
    if (!DialogInit(dialog, IDD_PROJECT_TYPE)) return 0;
    DialogSetLogical(dialog, IDC_PROJECT_UNIVARIATE, 1);
    int kind = 0;
    if (DialogRunModal(dialog) == 1) {
        int univariate = 0;
        DialogGetLogical(dialog, IDC_PROJECT_UNIVARIATE, univariate);
        kind = univariate ? 1 : 2;
    }
    DialogRelease(dialog);
    return kind;
}
