#pragma once
// The reader chain of the univariate Open command, over the bytes of the chosen file: the
// multi-part project file, then the univariate project file, then ASCII numbers. Parsing is
// complete before the project is touched, so a file that loads nothing leaves it as it was.
#include <cstdint>
#include <string>
#include <vector>

#include "shell/file_message.h"
#include "univariate/project_file.h"

enum LoadedKind : int32_t {
    LOADED_NOTHING = 0,
    LOADED_MULTIPART = 1,  // values of the data part of a multi-part file
    LOADED_PROJECT = 2,    // a univariate project file
    LOADED_ASCII = 3,      // the numbers of a text file
};

struct LoadedProjectFile {
    int32_t kind = LOADED_NOTHING;
    UnivariateFileContents contents;  // LOADED_PROJECT
    std::vector<double> values;       // LOADED_MULTIPART and LOADED_ASCII
    // LOADED_ASCII that stopped before the end of the text: the question to ask before the
    // values are kept (AsciiSeriesReport, caption "ReadRawData()"); empty otherwise.
    FileMessage partial;
};

// Tries the readers in turn. A multi-part file whose header was found is read as such alone; a
// file whose magic number 2267 matched is read as a project file alone (its bytes are never
// then taken for text). A data part of no values loads nothing; a text of no values loads
// nothing, and says which line stopped it (AsciiSeriesReport) unless it holds no line but blank
// ones. Messages of the readers are appended to `messages`;
// a file too large for memory gives "Memory allocation error." (caption "ERROR"). Returns the
// kind loaded (LOADED_NOTHING on failure).
int32_t ReadProjectBytes(const std::vector<unsigned char>& bytes, LoadedProjectFile& loaded,
                         std::vector<FileMessage>& messages);

// Commits what was loaded to `project`, whose data the caller has cleared: the series with its
// range (1..n for values) and a copy as `originalSeries`; a project file also replaces the
// model, the transforms and colors[1..15], and its ARMA model (p + q > 0, not fractionally
// integrated) is evaluated on the series (EvaluateModel, horizon -1), which sets wnVariance to
// its fitted value. The project's file becomes `name`; Save may write it
// without asking only after a project file was read (a multi-part or text file would be
// rewritten in another format). Returns 1, or 0 when nothing was loaded (nothing changed).
int32_t CommitLoadedFile(LoadedProjectFile& loaded, UnivariateProject& project, const std::string& name,
                         uint32_t* colors);
