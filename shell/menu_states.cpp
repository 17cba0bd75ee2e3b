#include "shell/menu_states.h"

#include "resources/resource.h"

namespace {

MenuChange Command(uint32_t id, bool enabled) { return {MenuChange::COMMAND, id, "", "", enabled}; }
MenuChange Top(const char* menu, bool enabled) { return {MenuChange::TOP_LEVEL, 0, menu, "", enabled}; }
MenuChange Sub(const char* menu, const char* submenu, bool enabled)
{
    return {MenuChange::SUBMENU, 0, menu, submenu, enabled};
}

void Univariate(MenuState& state, bool hasData, bool spectrumWindowOpen, bool logSpectrum)
{
    auto& c = state.changes;
    const bool d = hasData;
    c.push_back(Command(IDM_PRINT, d));
    c.push_back(Command(IDM_EXPORT, d));
    c.push_back(Command(IDM_IMPORT_FILE, true));
    c.push_back(Command(IDM_IMPORT_CLIPBOARD, true));
    c.push_back(Top("Transform", d));
    state.transformMenu = d;
    c.push_back(Top("Model", true));
    for (uint32_t id : {IDM_SPECIFY_MODEL, IDM_SIMULATE, IDM_AR_MA_INFINITY}) c.push_back(Command(id, true));
    for (uint32_t id : {IDM_PRELIMINARY, IDM_MAX_LIKELIHOOD, IDM_ACF_SAMPLE_MODEL}) c.push_back(Command(id, d));
    for (const char* menu : {"Regression", "Statistics", "Forecasting", "Smooth"}) c.push_back(Top(menu, d));
    c.push_back(Top("Spectrum", true));
    for (uint32_t id : {IDM_SPECTRUM_PERIODOGRAM, IDM_SPECTRUM_BOTH, IDM_SMOOTHED_PERIODOGRAM, IDM_FISHER_TEST})
        c.push_back(Command(id, d));
    c.push_back(Command(IDM_LOG_SPECTRUM, d && spectrumWindowOpen));
    // The one menu serves every univariate project: its check mark follows the current one.
    c.push_back({MenuChange::CHECK, IDM_LOG_SPECTRUM, "", "", logSpectrum});
    c.push_back(Sub("Spectrum", "Cumulative Spectrum", d));
    c.push_back(Top("Plot", true));
    c.push_back(Top("Window", true));
}

}  // namespace

MenuState ComputeMenuState(int32_t kind, bool hasData, bool spectrumWindowOpen, bool logSpectrum)
{
    MenuState state;
    switch (kind) {
    case 0:
        state.target = 1;
        state.changes.push_back(Command(IDM_IMPORT_FILE, false));
        for (const char* menu : {"Transform", "Model", "Regression", "Statistics", "Forecasting", "Smooth",
                                 "Spectrum", "Plot"})
            state.changes.push_back(Top(menu, false));
        break;
    case 1:
        state.bar = state.target = 1;
        Univariate(state, hasData, spectrumWindowOpen, logSpectrum);
        break;
    case 2:
        state.bar = state.target = 2;
        state.changes.push_back(Command(IDM_PRINT, hasData));
        state.changes.push_back(Command(IDM_IMPORT_FILE, true));
        state.changes.push_back(Command(IDM_EXPORT, hasData));
        state.changes.push_back(Top("Transform", hasData));
        state.transformMenu = true;
        state.changes.push_back(Top("Plot", true));
        state.changes.push_back(Top("Window", true));
        break;
    default:
        break;
    }
    return state;
}

std::string MenuTextWithoutMarks(const std::string& text)
{
    std::string out;
    for (size_t k = 0; k < text.size(); ++k) {
        if (text[k] == '&' && k + 1 < text.size() && text[k + 1] != '&') continue;
        out += text[k];
        if (text[k] == '&') ++k;  // "&&" stands for one ampersand
    }
    return out;
}
