#pragma once
// The multivariate project as a kind of the shell's project table: the operations behind New,
// Close, Import Clipboard, Info, the Project Editor, the toolbar and the status bar.

// Installs the multivariate project operations in the shell's table of project kinds.
void RegisterMultivariateProjectKind();
