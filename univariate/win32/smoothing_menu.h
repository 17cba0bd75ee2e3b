#pragma once
// The commands of the Smooth menu (Exponential 40122, FFT 40123, Moving Ave. 40124) and
// Spectrum > Smoothed Periodogram (40127).

// Puts them in the frame's command table.
void RegisterSmoothingCommands();
