#pragma once
// The portable side of Spectrum > Smoothed Periodogram: a chain of Daniell filters (uniform
// averages over 2m + 1 neighbouring Fourier frequencies) kept in the project as a count and 50
// orders, their combined weights, the stick picture of those weights, and the smoothing of the
// project's periodogram with them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "univariate/univariate_project.h"

constexpr int32_t kMaxDaniellFilters = 50;
extern const char* const kDaniellCountMessage;  // "Number of Daniell filters must be from 0 to 50"
// Refuses the command on a series of fewer than 2 observations.
extern const char* const kNoPeriodogramMessage;

// The count typed into its edit; a blank text reads as 0. Returns "" with `count` set for 0..50,
// else (count unchanged) kDaniellCountMessage, or the refusal of a text that is no whole number
// ("Number of filters \"x\" is not a number.").
std::string ReadDaniellCount(std::string_view text, int32_t& count);
// daniellCount := count; a count of 1 or more clears the orders of the filters above it.
void AcceptDaniellCount(UnivariateFields& project, int32_t count);

// M, the sum of the orders of the first daniellCount filters.
int64_t DaniellHalfWidth(const UnivariateFields& project);
// The message refusing settings whose M would reach the number of ordinates K (the smoother
// reflects at most K - 1 ordinates at each end).
std::string DaniellBoundMessage(int32_t ordinates);

// The order typed for filter k (1..daniellCount); text that is not a number reads as 0. Stores
// it and returns "" when accepted. Refused, with the order unchanged: an order outside 0..n
// ("Order of filter must be from 0 to n"), and a raised order that takes M past K - 1.
std::string AcceptDaniellOrder(UnivariateFields& project, int32_t k, std::string_view text);

// The combined weights w(0..M) of Daniell filters of the given orders (orders[1..count]; orders
// of 0 are skipped): the convolution of their uniform weight sequences, folded to its
// non-negative half. No filter gives the single weight 1.0.
std::vector<double> ConvolveDaniell(int32_t count, const int32_t* orders);
// daniellWeights := the weights of the project's filters. Returns 1.
int32_t DaniellWeights(UnivariateFields& project);

// The picture of the weights in a frame of 100 by 120 units: one stick from (x, 120) up to
// (x, top) for each lag j = -M..M, x = 100 (M + j + 1) / (2M + 2) in integer division, and
// top = 20 + the truncation of 100 (wmax - w(|j|)) / wmax, so the largest weight reaches 20.
struct FilterStick {
    int32_t x = 0;
    int32_t top = 0;
};
struct FilterWeightPicture {
    double wmax = 0.0;
    int32_t M = 0;
    std::vector<FilterStick> sticks;  // j = -M..M in order
};
FilterWeightPicture LayOutFilterWeights(const std::vector<double>& weights);
// The largest weight as its label shows it: 5 significant digits.
std::string FilterWeightMaxText(double wmax);

// Apply: recomputes the weights from the settings and smooths the periodogram I(1..K) into
// smoothedPeriodogram S(0..K) (frequencies 2 pi j / n, j = 0..K). Returns "" when done; the
// message, with nothing changed, when there is no periodogram or M >= K.
std::string ApplyDaniellSmoothing(UnivariateFields& project);
