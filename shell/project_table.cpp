#include "shell/project_table.h"

ProjectSlot ProjectTable[kMaxProjects + 1];
int32_t CurrentProject = 0;

void InitProjects()
{
    for (ProjectSlot& slot : ProjectTable) slot = ProjectSlot{};
    CurrentProject = 0;
}
