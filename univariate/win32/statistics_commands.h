#pragma once
// The Statistics, ACF/PACF, Histogram and Spectrum commands of a univariate project, and the
// statistics routines of the project refresh.
void RegisterStatisticsCommands();
