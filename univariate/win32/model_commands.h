#pragma once
// Commands of the Model menu that this module owns: Specify (40045) and AR/MA Infinity (40090).

// Puts them in the frame's command table.
void RegisterModelCommands();
