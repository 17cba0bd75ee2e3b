#pragma once
// The working state of the Specify Model dialog and the checks of its entries. The dialog edits
// a working copy of the model; only a successful commit writes it into the project.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "univariate/univariate_project.h"

// The largest M: the model ACF of a fractionally integrated model costs (L+1)(M+1)^2 and keeps
// L + 2M values.
constexpr int32_t kMaxImpulseTerms = 2000;

struct SpecifyModelWork {
    int32_t p = 0, q = 0;
    double phi[27 + 1] = {}, theta[27 + 1] = {};  // entry 0 unused
    int32_t arRow = 1, maRow = 1;
    int32_t fracIntegrated = 0;
    double d = 0.0;
    int32_t M = 50;
    double wnVariance = 1.0;
};

// The working state at the dialog's start: the project's orders, all 27 coefficients of each
// kind, the variance and the fractional-integration flag; d and M only for a fractionally
// integrated model (else 0 and 50); both rows 1.
SpecifyModelWork StartSpecifyModel(const UnivariateFields& project);

// An order typed into the AR or MA order box, read as one typed whole number (ReadEntryInteger).
// 0..26 is stored in `order` (returns true). 27 or more gives `message` ("AR Order must be < 27"
// or "MA Order must be < 27"); text that is no whole number the refusal that says why ("AR order
// \"1,5\" has a decimal comma: ..."); an empty or negative entry gives no message; `order` keeps
// its value.
bool ReadOrderEntry(std::string_view text, bool ar, int32_t& order, std::string& message);

// A coefficient typed into its edit: a number replaces `value` (returns true); anything else
// leaves it.
bool ReadCoefficientEntry(std::string_view text, double& value);

// Why the text of coefficient `row` is refused ("Phi(1) \"0,7\" has a decimal comma: ..."), or
// "" for a number or a blank text, which leaves the coefficient.
std::string CoefficientRefusal(bool ar, int32_t row, std::string_view text);

// "Phi(2) = " or "Theta(2) = ", the label of the selected row.
std::string CoefficientLabel(bool ar, int32_t row);
// A coefficient as its edit and list show it: 5 significant digits.
std::string CoefficientText(double value);
// The list rows "Phi(i) = value", i = 1..order.
std::vector<std::string> CoefficientList(bool ar, const double* values, int32_t order);

// d with 3 decimals (FittedFixed on its fixed scale); the variance with 5 decimals, or in
// exponent form with 6 significant digits when that text would read back more than 0.1 % away
// from the value (a small variance would show as 0.00000), by ProposedNumberText.
std::string DText(double d);
std::string VarianceText(double variance);

// Entries of the d, variance and M boxes. Each returns "" and stores the value when accepted,
// else the message and leaves the value: -0.5 < d < 0.5; a finite variance > 0; an integer M
// from 50 to kMaxImpulseTerms. A text that is no number of its kind gets the refusal that says
// why.
std::string ReadDEntry(std::string_view text, double& d);
std::string ReadVarianceEntry(std::string_view text, double& variance);
std::string ReadMEntry(std::string_view text, int32_t& M);

// The causality and invertibility of the working model, as the "Causal/Invertible" button and
// the commit test them.
struct ModelRoots {
    bool causal = true;
    bool invertible = true;
};
ModelRoots TestWorkingModel(const SpecifyModelWork& work);

enum SpecifyCommit : int32_t {
    SPECIFY_STORED = 1,
    SPECIFY_NOT_INVERTIBLE = 2,  // a fractionally integrated model whose MA part is not invertible
    SPECIFY_NOT_CAUSAL = 3,
};
// OK: refuses a non-causal model (and a non-invertible fractionally integrated one) without
// touching the project; otherwise stores orders, coefficients (zero beyond the orders),
// variance, d, M and the flag, drops every constraint and frees the non-zero coefficients.
SpecifyCommit CommitSpecifyModel(const SpecifyModelWork& work, UnivariateFields& project);
