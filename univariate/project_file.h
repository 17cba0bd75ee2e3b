#pragma once
// The univariate project file: magic 2267, the 15 plot colours, the ARMA orders and all 27
// coefficients of each side, the index range and the series, then the transform stack oldest
// first. Little-endian int32 and IEEE doubles, no padding, written item by item.
//
// Reading parses the whole file into UnivariateFileContents and checks every count against the
// bytes that remain before anything is allocated; only a sound file is then committed to the
// project and the colours, whole. A file that fails leaves both as they were.
#include <cstdint>
#include <string>
#include <vector>

#include "shell/file_message.h"
#include "shell/plot_record.h"
#include "univariate/univariate_project.h"

constexpr int32_t kUnivariateFileMagic = 2267;

struct UnivariateFileContents {
    uint32_t colors[kPlotColorCount + 1] = {};  // 1..15
    int32_t p = 0, q = 0;
    double phi[27 + 1] = {}, theta[27 + 1] = {};
    int32_t firstIndex = 0, lastIndex = 0;
    std::vector<double> series;        // lastIndex - firstIndex + 1 values; none for no data
    std::vector<TransformNode> nodes;  // oldest first; their next pointers are unused
};

// The file image of `project` with the colours colors[1..15]. A project without data is stored
// with the range 1..0; a fitted regression trend is added back to the series stored (the trend
// itself is not stored). Returns 1; 0, with nothing written, when the record holds what the reader
// would refuse or not give back as it is, with "Cannot write to file: " and the reason, caption
// "VeskSave()": an order outside 0..26, a value that is not finite in any of the 27 coefficients
// of each side, the series or a node, a series whose length disagrees with its range, more than
// kMaxTransformNodes nodes, a node of a kind the program does not know, a stack in an order the
// program never builds (TransformOrderBuildable), a node field the Transform menu's dialogs could
// not have given on the series it was applied to (NodeOutsideDialogs; a stack on no values is
// one), a difference whose removed values disagree with its lag, a seasonal node with a seasonal
// vector of another length than its period, a subsequence whose cut-off lengths differ from those
// the reader derives from the final index range, or a stack that cannot be undone, holds Box-Cox
// values below -1/lambda or undoes to a range other than the loaded series' 1..kMaxLastSeriesIndex
// at most (UndoWholeStack). Every image it returns decodes to the same record, bit for bit.
[[nodiscard]] int32_t EncodeUnivariateFile(const UnivariateProject& project, const uint32_t* colors,
                                           std::vector<unsigned char>& bytes, FileMessage& message);

// Parses a file image. Returns 1 read; -1 not this format (fewer than 4 bytes, or another magic
// number; no message); 0 the magic matched but the file is refused: "Cannot read file: " and the
// reason, caption "VeskRead()"; "it is cut short" when it ends before the item it is in.
// Checked: p and q in 0..26, a range of n >= 0 values that fit the file, finite values in all 27
// coefficients of each side, the series and every node, a node count of at most
// kMaxTransformNodes that fits the bytes left, every lag, period and cut-off length that fit the
// bytes left, nodes of the kinds the program knows, in an order it builds
// (TransformOrderBuildable; the forecasts and Undo rely on it), whose stored values the Transform
// menu's dialogs could have given on the series each was applied to (NodeOutsideDialogs), and
// which Undo can undo down to the first transform, to a series that starts at index 1 and ends
// where kMaxForecastSteps forecasts after it keep int32 indices (UndoWholeStack); no byte after
// the last node.
// The oldest node keeps the series the stack undoes to.
[[nodiscard]] int32_t DecodeUnivariateFile(const std::vector<unsigned char>& bytes,
                                           UnivariateFileContents& contents, FileMessage& message);

// Moves the contents into the project (orders, coefficients, range, n, series, the transform
// stack replacing the old one) and the colours into colors[1..15]. `originalSeries` and the rest
// of the record are the caller's.
void CommitUnivariateFile(UnivariateFileContents& contents, UnivariateProject& project, uint32_t* colors);

// Writes the project, with PlotColors, to the file `name` through a temporary file that
// replaces it only after a complete write. Returns 1, or 0 with the message (the encoder's, or
// ReplaceFailureText: "Cannot open file", "Cannot write to file", "Cannot write to a read-only
// file"; caption "VeskSave()").
[[nodiscard]] int32_t WriteUnivariateFile(const UnivariateProject& project, const std::string& name,
                                          FileMessage& message);
