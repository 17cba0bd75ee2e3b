#include "univariate/transform_node.h"

#include <algorithm>

int32_t InitTransformNode(TransformNode& node)
{
    node = TransformNode{};
    return 1;
}

int32_t FreeTransformNode(TransformNode*& node)
{
    if (!node) return 0;
    node->next = nullptr;
    delete node;
    node = nullptr;
    return 1;
}

void FreeTransformStack(TransformNode*& top)
{
    while (top) {
        TransformNode* older = top->next;
        FreeTransformNode(top);
        top = older;
    }
}

TransformNode* CopyTransformNode(const TransformNode& node)
{
    auto* copy = new TransformNode;
    copy->kind = node.kind;
    copy->untransformed = node.untransformed;
    switch (node.kind) {
    case TRANSFORM_DIFFERENCE:
        copy->lag = node.lag;
        copy->removed = node.removed;
        break;
    case TRANSFORM_BOX_COX:
        copy->lambda = node.lambda;
        break;
    case TRANSFORM_CLASSICAL:
        copy->period = node.period;
        copy->seasonal = node.seasonal;
        copy->degree = node.degree;
        std::copy(node.polyCoef, node.polyCoef + 3, copy->polyCoef);
        break;
    case TRANSFORM_HARMONIC:
        copy->harmonics = node.harmonics;
        std::copy(node.fourierIndex, node.fourierIndex + 4, copy->fourierIndex);
        std::copy(node.cosCoef, node.cosCoef + 4, copy->cosCoef);
        std::copy(node.sinCoef, node.sinCoef + 4, copy->sinCoef);
        copy->level = node.level;
        copy->degree = node.degree;
        std::copy(node.polyCoef, node.polyCoef + 3, copy->polyCoef);
        break;
    case TRANSFORM_SUBTRACT_MEAN:
        copy->mean = node.mean;
        break;
    case TRANSFORM_SUBSEQUENCE:
        copy->head = node.head;
        copy->tail = node.tail;
        copy->first = node.first;
        copy->last = node.last;
        break;
    default:
        break;
    }
    return copy;
}

int32_t TransformCount(const TransformNode* top)
{
    int32_t count = 0;
    for (; top; top = top->next) ++count;
    return count;
}
