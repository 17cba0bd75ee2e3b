#pragma once
// One applied transform of a univariate series, with what is needed to undo it. A project's
// nodes form a stack, newest on top, each node pointing to the next older one.
#include <cstdint>
#include <vector>

enum TransformKind : int32_t {
    TRANSFORM_DIFFERENCE = 1,
    TRANSFORM_BOX_COX = 2,
    TRANSFORM_CLASSICAL = 4,
    TRANSFORM_HARMONIC = 8,
    TRANSFORM_SUBTRACT_MEAN = 16,
    TRANSFORM_SUBSEQUENCE = 32,
};

// Deepest transform stack a project keeps: far beyond any real project, and a bound on what a
// project file may ask a reader to build.
constexpr int32_t kMaxTransformNodes = 1000;

// Vectors are 1-based in meaning: element i is v[i - 1]; empty means not allocated.
struct TransformNode {
    int32_t kind = 0;
    int32_t lag = 1;                  // difference: lag h
    std::vector<double> removed;      // difference: the first h values before differencing
    double lambda = 1.0;              // Box-Cox parameter
    std::vector<double> seasonal;     // classical: the d seasonal components
    int32_t period = 0;               // classical: d, or -1 when only a trend was removed
    int32_t harmonics = 0;            // harmonic: number k of harmonics, 1..4
    int32_t fourierIndex[4] = {0, 0, 0, 0};
    double cosCoef[4] = {0, 0, 0, 0};
    double sinCoef[4] = {0, 0, 0, 0};
    double level = 0.0;               // harmonic: mean removed with the harmonics
    int32_t degree = 1;               // classical, harmonic: degree of the polynomial trend
    double polyCoef[3] = {0, 0, 0};   // a, b, c of a + b t + c t^2
    double mean = 0.0;                // subtract mean
    std::vector<double> head, tail;   // subsequence: values cut off before and after
    int32_t first = 0, last = 0;      // subsequence: index range before the cut
    // The oldest node only, once known: the series before any transform, which undoing the whole
    // stack must give back (transforms.h). Derived, not stored in a project file.
    std::vector<double> untransformed;
    TransformNode* next = nullptr;    // next older node
};

// Sets the defaults of a node (kind 0, lag 1, lambda 1, degree 1, nothing allocated, no next).
int32_t InitTransformNode(TransformNode& node);
// Frees the node and its vectors and nulls the pointer; 0 when the pointer was null.
int32_t FreeTransformNode(TransformNode*& node);
// Frees a whole stack from its newest node and nulls the pointer.
void FreeTransformStack(TransformNode*& top);
// A fresh copy of one node: its kind and the fields of its kind (a node of an unknown kind
// keeps its kind only) and the untransformed series it holds; next is null.
TransformNode* CopyTransformNode(const TransformNode& node);
// Number of nodes of a stack.
int32_t TransformCount(const TransformNode* top);
