#include "univariate/constraints.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "numerics/arma_acvf.h"
#include "numerics/status.h"
#include "platform/typed_entry.h"
#include "shell/number_format.h"

const char* const kRelationCountMessage = "Number of multiplicative relations must be from 0 to 6";

ConstrainWork LoadConstraints(const UnivariateFields& u)
{
    ConstrainWork w;
    w.p = std::clamp(u.p, 0, 27);
    w.q = std::clamp(u.q, 0, 27);
    for (int32_t i = 1; i <= 27; ++i) {
        w.phi[i] = u.phi[i];
        w.theta[i] = u.theta[i];
        w.fixedAr[i] = w.fixedMa[i] = true;
    }
    w.relationCount = std::clamp(u.relationCount, 0, kMaxRelations);
    const int32_t listed = std::clamp(u.numFree + w.relationCount, 0, 52);
    for (int32_t i = 1; i <= listed; ++i) {
        const int32_t k = u.freeIndex[i];
        if (k >= 1 && k <= w.p) w.fixedAr[k] = false;
        else if (k > w.p && k <= w.p + w.q) w.fixedMa[k - w.p] = false;
    }
    for (int32_t r = 1; r <= kMaxRelations; ++r) {
        ConstrainRelation& row = w.rows[r];
        if (r > w.relationCount) {
            row = ConstrainRelation{};
            row.ma = w.p == 0;
            continue;
        }
        int32_t* target[3] = {&row.a, &row.b, &row.d};
        for (int c = 0; c < 3; ++c) {
            const int32_t x = u.relations[r][c + 1];
            row.ma = x > w.p;
            *target[c] = row.ma ? x - w.p : x;
        }
    }
    return w;
}

void FixNone(ConstrainWork& w)
{
    std::fill(std::begin(w.fixedAr), std::end(w.fixedAr), false);
    std::fill(std::begin(w.fixedMa), std::end(w.fixedMa), false);
}

void FixZero(ConstrainWork& w)
{
    for (int32_t i = 1; i <= 27; ++i) {
        w.fixedAr[i] = i <= w.p && w.phi[i] == 0.0;
        w.fixedMa[i] = i <= w.q && w.theta[i] == 0.0;
    }
}

void FixNonZero(ConstrainWork& w)
{
    for (int32_t i = 1; i <= 27; ++i) {
        w.fixedAr[i] = i <= w.p && w.phi[i] != 0.0;
        w.fixedMa[i] = i <= w.q && w.theta[i] != 0.0;
    }
}

void SetFixedToZero(ConstrainWork& w)
{
    for (int32_t i = 1; i <= w.p; ++i)
        if (w.fixedAr[i]) w.phi[i] = 0.0;
    for (int32_t j = 1; j <= w.q; ++j)
        if (w.fixedMa[j]) w.theta[j] = 0.0;
}

std::string ReadRelationCount(const std::string& text, int32_t& count)
{
    double value = 0.0;
    const std::string refusal = ReadFieldEntry("Number of relations", text, EntryKind::Whole, value);
    if (!refusal.empty()) return refusal;
    if (value < 0 || value > kMaxRelations) return kRelationCountMessage;
    count = static_cast<int32_t>(value);
    return "";
}

std::string ReadRelationIndex(const ConstrainWork& work, bool ma, const std::string& text, int32_t& x)
{
    double read = 0.0;
    // A field emptied while typing stands for 0, which OK refuses.
    const EntryFault fault = ReadEntryNumber(text, EntryKind::Whole, read);
    if (fault != EntryFault::None && fault != EntryFault::Blank) return EntryRefusal("Index", text, fault);
    // Indices below 1 are refused at OK; one beyond the integers is beyond the order.
    const double low = std::numeric_limits<int32_t>::min(), high = std::numeric_limits<int32_t>::max();
    const int32_t value = static_cast<int32_t>(std::clamp(read, low, high));
    const std::string message = RelationIndexMessage(work, ma, value);
    if (message.empty()) x = value;
    return message;
}

std::string RelationIndexMessage(const ConstrainWork& w, bool ma, int32_t x)
{
    if (ma && x > w.q) return "Invalid index, must be less than MA Order = " + IntText(w.q);
    if (!ma && x > w.p) return "Invalid index, must be less than AR Order = " + IntText(w.p);
    return "";
}

ConstrainOutcome CommitConstraints(ConstrainWork& w, int32_t count, UnivariateFields& u)
{
    ConstrainOutcome out;
    count = std::clamp(count, 0, kMaxRelations);
    std::vector<int32_t> free;
    for (int32_t i = 1; i <= w.p; ++i)
        if (!w.fixedAr[i]) free.push_back(i);
    for (int32_t j = 1; j <= w.q; ++j)
        if (!w.fixedMa[j]) free.push_back(w.p + j);

    std::vector<int32_t> targets;
    for (int32_t r = 1; r <= count && out.message.empty(); ++r) {
        const ConstrainRelation& row = w.rows[r];
        const int32_t offset = row.ma ? w.p : 0;
        const int32_t target = offset + row.a;
        if (row.a < 1 || row.b < 1 || row.d < 1) {
            out.message = "Multiplicative relation parameter must be positive";
        } else if (!RelationIndexMessage(w, row.ma, std::max({row.a, row.b, row.d})).empty()) {
            out.message = RelationIndexMessage(w, row.ma, std::max({row.a, row.b, row.d}));
        } else if (row.a == row.b || row.a == row.d || row.b == row.d) {
            out.message = "Multiplicative relation repeats parameter";
        } else if (std::find(free.begin(), free.end(), target) == free.end()) {
            out.message = "Conflict in multiplicative relation and fixed parameter";
        } else if (std::find(targets.begin(), targets.end(), target) != targets.end()) {
            out.message = "Two multiplicative relations set the same coefficient";
        }
        if (!out.message.empty()) out.relation = r;
        targets.push_back(target);
    }
    if (w.p > 0) {
        double acvf[28 + 1] = {};
        int status = kStatusDone;
        ArmaAcvf(2, kArmaAcvfTestCausal, acvf, status, 1.0, w.phi + 1, w.p, 0);
        if (status != kStatusDone && out.message.empty()) out.message = "Model no longer causal";
    }
    for (int32_t r = count + 1; r <= kMaxRelations; ++r) {
        w.rows[r] = ConstrainRelation{};
        w.rows[r].ma = w.p == 0;
    }
    if (!out.message.empty()) return out;

    for (int32_t i = 1; i <= 27; ++i) {
        u.phi[i] = w.phi[i];
        u.theta[i] = w.theta[i];
    }
    int32_t k = 0;
    for (int32_t position : free)
        if (std::find(targets.begin(), targets.end(), position) == targets.end()) u.freeIndex[++k] = position;
    u.numFree = k;
    for (int32_t target : targets) u.freeIndex[++k] = target;
    u.relationCount = count;
    for (int32_t r = 1; r <= kMaxRelations; ++r) {
        const ConstrainRelation& row = w.rows[r];
        const int32_t offset = row.ma ? w.p : 0;
        u.relations[r][1] = r <= count ? offset + row.a : 0;
        u.relations[r][2] = r <= count ? offset + row.b : 0;
        u.relations[r][3] = r <= count ? offset + row.d : 0;
    }
    out.accepted = true;
    return out;
}

void FreeNonZeroCoefficients(UnivariateFields& u)
{
    u.relationCount = 0;
    for (int32_t r = 1; r <= kMaxRelations; ++r)
        for (int32_t c = 1; c <= 3; ++c) u.relations[r][c] = 0;
    const int32_t p = std::clamp(u.p, 0, 26), q = std::clamp(u.q, 0, 26);
    u.numFree = 0;
    for (int32_t i = 1; i <= p; ++i)
        if (u.phi[i] != 0.0) u.freeIndex[++u.numFree] = i;
    for (int32_t j = 1; j <= q; ++j)
        if (u.theta[j] != 0.0) u.freeIndex[++u.numFree] = p + j;
}
