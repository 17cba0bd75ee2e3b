#pragma once
// Which menu items are enabled or grayed for the current project, as a list of changes that
// the window code applies to the menu bars.
#include <cstdint>
#include <string>
#include <vector>

struct MenuChange {
    // CHECK sets the check mark of every item with the id: checked while `enabled` is true.
    enum Target { COMMAND, TOP_LEVEL, SUBMENU, CHECK } target;
    uint32_t command = 0;   // COMMAND and CHECK: every item with this id
    std::string menu;       // TOP_LEVEL and SUBMENU: the top-level menu's text without '&'
    std::string submenu;    // SUBMENU: the popup's text inside `menu`, without '&'
    bool enabled = false;
};

struct MenuState {
    int32_t bar = 0;  // the bar to put on the frame: 0 keep, 1 univariate, 2 multivariate
    // The bar the changes apply to (1 univariate, 2 multivariate).
    int32_t target = 1;
    std::vector<MenuChange> changes;
    // The kind's own menu items (the Transform items and the Undo text) are then set by its rules.
    bool transformMenu = false;
};

// kind: 0 no project, 1 univariate, 2 multivariate. spectrumWindowOpen: the univariate
// project's spectrum or cumulative spectrum view has a window. logSpectrum: that project draws
// its spectra on the log scale (the Log Spectrum item is checked).
MenuState ComputeMenuState(int32_t kind, bool hasData, bool spectrumWindowOpen, bool logSpectrum = false);

// The text of a menu item without its access-key marks ("Spe&ctrum" gives "Spectrum").
std::string MenuTextWithoutMarks(const std::string& text);
