#include "shell/project_kinds.h"

#include "shell/project_table.h"

namespace {

ProjectKindOperations kinds[2];
bool registered[2] = {false, false};

int KindIndex(int32_t kind)
{
    if (kind == PROJECT_UNIVARIATE) return 0;
    if (kind == PROJECT_MULTIVARIATE) return 1;
    return -1;
}

}  // namespace

void RegisterProjectKind(int32_t kind, const ProjectKindOperations& operations)
{
    const int index = KindIndex(kind);
    if (index < 0) return;
    kinds[index] = operations;
    registered[index] = true;
}

const ProjectKindOperations* KindOperations(int32_t kind)
{
    const int index = KindIndex(kind);
    return index >= 0 && registered[index] ? &kinds[index] : nullptr;
}

const ProjectKindOperations* ProjectOperations(int32_t slot)
{
    if (slot < 1 || slot > kMaxProjects) return nullptr;
    return KindOperations(ProjectTable[slot].kind);
}
