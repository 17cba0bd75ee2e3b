#include "multivariate/win32/estimation_commands.h"

#include <windows.h>

#include <string>

#include "multivariate/multivariate_project.h"
#include "multivariate/var_estimation.h"
#include "multivariate/win32/multivariate_windows.h"
#include "platform/win32/dialog_layer.h"
#include "platform/win32/wide_text.h"
#include "resources/resource.h"
#include "shell/command_table.h"
#include "shell/win32/info_window.h"

namespace {

// What tells the two commands apart.
struct MethodForm {
    int32_t method;
    int templateId;
    int orderEdit;
    int searchBox;
    int32_t (*orderDialog)(MultivariateProject& project, int32_t& order);
    int32_t (*report)(MultivariateProject& project);
};

constexpr MethodForm kYuleWalker = {MV_FIT_YULE_WALKER, IDD_MV_YULE_WALKER, IDC_MV_YW_ORDER, IDC_MV_YW_SEARCH,
                                    MvOrderDialogYW, MvReportYW};
constexpr MethodForm kBurg = {MV_FIT_BURG, IDD_MV_BURG, IDC_MV_BURG_ORDER, IDC_MV_BURG_SEARCH, MvOrderDialogBurg,
                              MvReportBurg};

HWND__*& ReportWindow(MultivariateProject& project, int32_t method)
{
    return method == MV_FIT_BURG ? project.burgReport : project.yuleWalkerReport;
}

int32_t OrderDialog(MultivariateProject& project, const MethodForm& form, int32_t& order)
{
    std::string text = IntText(project.model->p);
    for (;;) {
        DialogRecord dialog;
        if (!DialogInit(dialog, form.templateId)) return 0;
        DialogSetLogical(dialog, form.searchBox, 1);
        DialogSetText(dialog, form.orderEdit, text);
        const int result = DialogRunModal(dialog);
        int search = 0;
        DialogGetLogical(dialog, form.searchBox, search);
        DialogGetText(dialog, form.orderEdit, text);
        DialogRelease(dialog);
        if (result != 1) return 0;
        const std::string message = MvOrderMessage(search != 0, text, project.data->n, project.data->m, order);
        if (message.empty()) return 1;
        // The refused entry comes back for correction; the model's order stays as fitted.
        ShowMvMessage(nullptr, message, kMvEstimationCaption);
    }
}

int32_t WriteReport(MultivariateProject& project, int32_t method)
{
    HWND__*& field = ReportWindow(project, method);
    HWND report = reinterpret_cast<HWND>(field);
    if (!report || !IsWindow(report)) {
        report = CreateInfoWindow(project.seriesView.slot);
        field = reinterpret_cast<HWND__*>(report);
    }
    if (!report) return 1;
    SetWindowTextW(report, WideText(MvReportTitle(method, WindowTextUtf8(SeriesWindow(project)))).c_str());
    for (const MvReportCall& call : MvEstimatesReport(project, method)) {
        if (call.perLine > 0)
            InfoPrintArray(report, call.values, static_cast<int32_t>(call.values.size()), call.perLine, 6);
        else
            InfoPrint(report, call.text, call.length);
    }
    return 1;
}

int32_t Estimate(MultivariateProject& project, const MethodForm& form)
{
    if (!project.data || !project.data->hasData()) return 0;
    int32_t order = 0;
    if (!form.orderDialog(project, order)) return 1;
    MvFitOutcome outcome;
    const int32_t fitted = MvFitModel(project, form.method, order, outcome);
    // A failed fit leaves the old model and its report; a fit of lower order is kept and said.
    if (fitted) form.report(project);
    const std::string message = MvFitMessage(outcome);
    if (!message.empty()) ShowMvMessage(nullptr, message, kMvEstimationCaption);
    return 1;
}

void YuleWalkerCommand(MultivariateProject& project) { MultivarYuleWalker(project); }
void BurgCommand(MultivariateProject& project) { MultivarBurg(project); }

}  // namespace

int32_t MultivarYuleWalker(MultivariateProject& project) { return Estimate(project, kYuleWalker); }
int32_t MultivarBurg(MultivariateProject& project) { return Estimate(project, kBurg); }

int32_t MvOrderDialogYW(MultivariateProject& project, int32_t& order) { return OrderDialog(project, kYuleWalker, order); }
int32_t MvOrderDialogBurg(MultivariateProject& project, int32_t& order) { return OrderDialog(project, kBurg, order); }

int32_t MvReportYW(MultivariateProject& project) { return WriteReport(project, MV_FIT_YULE_WALKER); }
int32_t MvReportBurg(MultivariateProject& project) { return WriteReport(project, MV_FIT_BURG); }

void RegisterMvEstimationCommands()
{
    RegisterMultivariateCommand(IDM_MV_YULE_WALKER, YuleWalkerCommand);
    RegisterMultivariateCommand(IDM_MV_BURG, BurgCommand);
}
