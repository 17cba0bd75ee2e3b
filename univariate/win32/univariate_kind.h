#pragma once
// The univariate project as a kind of the shell's project table: the operations behind New,
// Open, Save, Close, Import, Export, the Project Editor, the toolbar and the status bar.

// Installs the univariate project operations in the shell's table of project kinds.
void RegisterUnivariateProjectKind();
