#pragma once
// The constraints of a maximum likelihood fit: which ARMA coefficients are held fixed and which
// are tied by multiplicative relations coef(a) = coef(b) × coef(d) within the AR or the MA part
// (a multiplicative seasonal model). The rules of the Constrain Optimization dialog live here;
// the dialog only shows a ConstrainWork and hands its edits back.
//
// Positions: the combined coefficient vector holds phi(1..p) at 1..p and theta(1..q) at p+1..p+q.
// The record keeps freeIndex(1..numFree) = the free coefficients the minimiser moves (no relation
// target among them), then freeIndex(numFree+1..numFree+relationCount) = the relation targets,
// which the evaluation computes from their relation.
#include <cstdint>
#include <string>

#include "univariate/univariate_project.h"

constexpr int32_t kMaxRelations = 6;

struct ConstrainRelation {
    int32_t a = 0, b = 0, d = 0;  // within their own part: AR 1..p or MA 1..q
    bool ma = false;
};

// The dialog's working copy.
struct ConstrainWork {
    int32_t p = 0, q = 0;
    double phi[27 + 1] = {}, theta[27 + 1] = {};
    bool fixedAr[27 + 1] = {}, fixedMa[27 + 1] = {};
    int32_t relationCount = 0;
    ConstrainRelation rows[kMaxRelations + 1];
};

// The working copy of the record's constraints: every coefficient fixed except those listed in
// freeIndex(1..numFree + relationCount); the relations by their part.
ConstrainWork LoadConstraints(const UnivariateFields& project);

// Quick select: "None" frees everything, "All zero" fixes exactly the zero coefficients, "All
// non-zero" fixes exactly the non-zero ones, "Set to zero" sets every fixed coefficient to 0.
void FixNone(ConstrainWork& work);
void FixZero(ConstrainWork& work);
void FixNonZero(ConstrainWork& work);
void SetFixedToZero(ConstrainWork& work);

// Reads the relation count: "" with count set when the text is a whole number in 0..6;
// kRelationCountMessage for another number, the refusal that says why for text that is no whole
// number ("Number of relations \"1,5\" has a decimal comma: ...").
[[nodiscard]] std::string ReadRelationCount(const std::string& text, int32_t& count);
extern const char* const kRelationCountMessage;

// Reads index `text` of a relation in the AR (ma false) or MA part: "" with `x` set (0 for a
// blank text), else the refusal of text that is no whole number or RelationIndexMessage.
[[nodiscard]] std::string ReadRelationIndex(const ConstrainWork& work, bool ma, const std::string& text, int32_t& x);

// The message for index x of a relation in the AR (ma false) or MA part, or "" when x does not
// exceed that part's order (indices below 1 are refused at OK).
std::string RelationIndexMessage(const ConstrainWork& work, bool ma, int32_t x);

// Outcome of OK.
struct ConstrainOutcome {
    bool accepted = false;
    std::string message;   // the first refusal, "" when accepted
    int32_t relation = 0;  // the relation the refusal is about (0: none)
};

// OK with `count` relations (0..6): checks every relation (indices from 1 to their part's order,
// no index repeated, no two relations setting one coefficient, the target not fixed) and the
// causality of the working AR part; when all pass writes phi, theta, freeIndex, numFree,
// relationCount and relations into the record. Rows count+1..6 of the work are cleared either way.
ConstrainOutcome CommitConstraints(ConstrainWork& work, int32_t count, UnivariateFields& project);

// Drops every relation and frees exactly the non-zero coefficients, for a model that replaces the
// old one (Specify Model, opening or importing a project file).
void FreeNonZeroCoefficients(UnivariateFields& project);
