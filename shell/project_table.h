#pragma once
// The table of open projects: ten slots numbered 1 to 10, and the current one.
#include <cstdint>

struct UnivariateProject;
struct MultivariateProject;

enum ProjectKind : int32_t { PROJECT_FREE = 0, PROJECT_UNIVARIATE = 1, PROJECT_MULTIVARIATE = 2 };

struct ProjectSlot {
    int32_t kind = PROJECT_FREE;
    UnivariateProject* univariate = nullptr;      // set only while kind is 1
    MultivariateProject* multivariate = nullptr;  // set only while kind is 2
};

constexpr int32_t kMaxProjects = 10;

// Slot k lives at ProjectTable[k] for k = 1..10; element 0 is never used.
extern ProjectSlot ProjectTable[kMaxProjects + 1];
// Slot number of the current project, 0 when none.
extern int32_t CurrentProject;

// Frees nothing: marks every slot free with no records (called once at start).
void InitProjects();
