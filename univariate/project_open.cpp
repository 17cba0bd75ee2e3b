#include "univariate/project_open.h"

#include <new>
#include <string_view>
#include <utility>

#include "shell/ascii_files.h"
#include "shell/project_file_parts.h"
#include "univariate/model_evaluation.h"

namespace {

int32_t ReadWithEachReader(const std::vector<unsigned char>& bytes, LoadedProjectFile& loaded,
                           std::vector<FileMessage>& messages)
{
    FileMessage message;
    FilePartBuffer parts;
    ResetFileParts(parts);
    size_t body = 0;
    if (FindPart(bytes, kHeaderPartTag, body) >= 0) {
        // A multi-part file: when its header or data part fails, no other reader is tried.
        if (ReadHeaderPart(bytes, parts, message) && ReadDataPart(bytes, parts, message) && parts.n > 0) {
            loaded.values = std::move(parts.values);
            loaded.kind = LOADED_MULTIPART;
        }
        if (!message.empty()) messages.push_back(message);
        return loaded.kind;
    }
    const int32_t project = DecodeUnivariateFile(bytes, loaded.contents, message);
    if (project != -1) {
        if (project == 1) loaded.kind = LOADED_PROJECT;
        else messages.push_back(message);
        return loaded.kind;
    }
    AsciiSeries series = ParseAsciiSeries(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
    const std::string report = AsciiSeriesReport(series);
    if (series.values.empty()) {
        // A text that stopped at its first line says which; an empty one is the caller's to name.
        if (series.notes.stopLine > 0) messages.push_back({report, "ReadRawData()"});
        return loaded.kind;
    }
    if (!report.empty()) loaded.partial = {report, "ReadRawData()"};
    loaded.values = std::move(series.values);
    loaded.kind = LOADED_ASCII;
    return loaded.kind;
}

// The white-noise variance is not stored: a model read with its series is evaluated on it, so
// that every report shows its fitted variance. A white-noise model (nothing was fitted), a
// fractionally integrated one (the recursion evaluates ARMA models only) and a model the series
// cannot evaluate (none, or too short a series) keep the variance the record holds.
void EvaluateReadModel(UnivariateProject& project)
{
    if (project.fracIntegrated || project.p + project.q == 0) return;
    (void)EvaluateModel(project, -1);
}

}  // namespace

int32_t ReadProjectBytes(const std::vector<unsigned char>& bytes, LoadedProjectFile& loaded,
                         std::vector<FileMessage>& messages)
{
    loaded = LoadedProjectFile{};
    try {
        return ReadWithEachReader(bytes, loaded, messages);
    } catch (const std::bad_alloc&) {
        loaded = LoadedProjectFile{};
        messages.push_back({"Memory allocation error.", "ERROR"});
        return LOADED_NOTHING;
    }
}

int32_t CommitLoadedFile(LoadedProjectFile& loaded, UnivariateProject& project, const std::string& name,
                         uint32_t* colors)
{
    switch (loaded.kind) {
    case LOADED_MULTIPART:
    case LOADED_ASCII:
        project.firstIndex = 1;
        project.n = project.lastIndex = static_cast<int32_t>(loaded.values.size());
        project.series = std::move(loaded.values);
        project.hasFileName = 0;
        break;
    case LOADED_PROJECT:
        CommitUnivariateFile(loaded.contents, project, colors);
        project.hasFileName = 1;
        EvaluateReadModel(project);
        break;
    default:
        return 0;
    }
    project.originalSeries = project.series;
    project.fileName = TrimFileName(name);
    loaded.kind = LOADED_NOTHING;
    return 1;
}
