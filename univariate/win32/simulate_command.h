#pragma once
// Model > Simulate (40087): the ARMA Simulation dialog and delivery of the simulated series.
#include <cstdint>

struct UnivariateProject;

// Runs dialog 136 until its entries can be simulated or it is cancelled, then simulates. Returns
// a new record holding the series (the caller makes a project of it and frees it), or null when
// the series went into `project` itself (its data replaced as by any load, the model kept, the
// name asked) or the dialog was cancelled.
UnivariateProject* SimulateArma(UnivariateProject& project);

// Puts Simulate in the frame's command table.
void RegisterSimulateCommand();
