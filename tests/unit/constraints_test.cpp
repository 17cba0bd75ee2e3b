// The rules of the Constrain Optimization dialog: loading the record's constraints, quick select,
// and OK with its refusals and the free list it writes.
#include "univariate/constraints.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "univariate/project_file.h"

namespace {

UnivariateFields Model(int32_t p, int32_t q, std::vector<double> phi, std::vector<double> theta)
{
    UnivariateFields u;
    u.p = p;
    u.q = q;
    for (size_t i = 0; i < phi.size(); ++i) u.phi[i + 1] = phi[i];
    for (size_t j = 0; j < theta.size(); ++j) u.theta[j + 1] = theta[j];
    FreeNonZeroCoefficients(u);
    return u;
}

std::vector<int32_t> FreeList(const UnivariateFields& u, int32_t count)
{
    return std::vector<int32_t>(u.freeIndex + 1, u.freeIndex + 1 + count);
}

// A seasonal AR(13) with phi1, phi12 and phi13 non-zero, and (q = 1) one MA coefficient.
UnivariateFields Seasonal(int32_t q)
{
    std::vector<double> phi(13, 0.0);
    phi[0] = 0.5;
    phi[11] = 0.4;
    phi[12] = -0.2;
    return Model(13, q, phi, std::vector<double>(static_cast<size_t>(q), 0.3));
}

TEST(Constraints, RelationTargetsFollowTheFreeCoefficients)
{
    struct Case {
        UnivariateFields u;
        ConstrainRelation relation;
        int32_t numFree;
        std::vector<int32_t> freeIndex;
        std::vector<int32_t> stored;
    } cases[] = {
        {Seasonal(0), {13, 1, 12, false}, 2, {1, 12, 13}, {13, 1, 12}},
        // An AR relation beside a free MA part: the target goes last, theta1 stays free.
        {Seasonal(1), {13, 1, 12, false}, 3, {1, 12, 14, 13}, {13, 1, 12}},
        {Model(2, 13, {0.5, 0.1}, {0.4, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.3, 0.12}), {13, 1, 12, true}, 4,
         {1, 2, 3, 14, 15}, {15, 3, 14}},
    };
    for (Case& c : cases) {
        ConstrainWork w = LoadConstraints(c.u);
        w.rows[1] = c.relation;
        const ConstrainOutcome out = CommitConstraints(w, 1, c.u);
        ASSERT_TRUE(out.accepted) << out.message;
        EXPECT_EQ(c.u.numFree, c.numFree);
        EXPECT_EQ(FreeList(c.u, c.numFree + 1), c.freeIndex);
        EXPECT_EQ(c.u.relationCount, 1);
        EXPECT_EQ(std::vector<int32_t>(c.u.relations[1] + 1, c.u.relations[1] + 4), c.stored);
        for (int32_t r = 2; r <= 6; ++r) EXPECT_EQ(c.u.relations[r][1], 0);

        // Reopening shows the dialog as it was left: the target is not fixed, and OK again
        // accepts and writes the same lists.
        ConstrainWork again = LoadConstraints(c.u);
        EXPECT_EQ(again.relationCount, 1);
        EXPECT_EQ(again.rows[1].a, c.relation.a);
        EXPECT_EQ(again.rows[1].ma, c.relation.ma);
        const int32_t target = c.relation.a;
        EXPECT_FALSE(c.relation.ma ? again.fixedMa[target] : again.fixedAr[target]);
        UnivariateFields copy = c.u;
        ASSERT_TRUE(CommitConstraints(again, 1, copy).accepted);
        EXPECT_EQ(FreeList(copy, c.numFree + 1), c.freeIndex);
    }
}

TEST(Constraints, QuickSelect)
{
    UnivariateFields u = Model(2, 1, {0.5, 0.0}, {-0.25});
    ConstrainWork w = LoadConstraints(u);
    EXPECT_FALSE(w.fixedAr[1]);
    EXPECT_TRUE(w.fixedAr[2]);  // zero: not in the free list
    FixZero(w);
    EXPECT_FALSE(w.fixedAr[1]);
    EXPECT_TRUE(w.fixedAr[2]);
    EXPECT_FALSE(w.fixedMa[1]);
    FixNonZero(w);
    EXPECT_TRUE(w.fixedAr[1]);
    EXPECT_FALSE(w.fixedAr[2]);
    EXPECT_TRUE(w.fixedMa[1]);
    FixNone(w);
    EXPECT_FALSE(w.fixedAr[1] || w.fixedAr[2] || w.fixedMa[1]);

    // All non-zero coefficients: "All zero" fixes nothing, "All non-zero" fixes them all.
    UnivariateFields full = Model(2, 0, {0.5, -0.9}, {});
    ConstrainWork f = LoadConstraints(full);
    FixZero(f);
    EXPECT_FALSE(f.fixedAr[1] || f.fixedAr[2]);
    FixNonZero(f);
    EXPECT_TRUE(f.fixedAr[1] && f.fixedAr[2]);
    // Set to zero on phi1 keeps AR(2) (0, -0.9) causal; OK writes it.
    f.fixedAr[2] = false;
    SetFixedToZero(f);
    ASSERT_TRUE(CommitConstraints(f, 0, full).accepted);
    EXPECT_EQ(full.phi[1], 0.0);
    EXPECT_EQ(full.phi[2], -0.9);
    EXPECT_EQ(full.numFree, 1);
    EXPECT_EQ(full.freeIndex[1], 2);
}

TEST(Constraints, OkRefusalsLeaveTheRecordAlone)
{
    struct Case {
        ConstrainRelation relation;
        bool fixTarget;
        std::string message;
    } cases[] = {
        {{13, 0, 12, false}, false, "Multiplicative relation parameter must be positive"},
        {{13, 1, 1, false}, false, "Multiplicative relation repeats parameter"},
        {{13, 1, 12, false}, true, "Conflict in multiplicative relation and fixed parameter"},
        // The part switched to MA after the indices were typed for the AR part.
        {{13, 1, 12, true}, false, "Invalid index, must be less than MA Order = 1"},
        {{14, 1, 12, false}, false, "Invalid index, must be less than AR Order = 13"},
    };
    for (const Case& c : cases) {
        UnivariateFields u = Seasonal(1);
        const UnivariateFields before = u;
        ConstrainWork w = LoadConstraints(u);
        w.rows[1] = c.relation;
        if (c.fixTarget) w.fixedAr[13] = true;
        const ConstrainOutcome out = CommitConstraints(w, 1, u);
        EXPECT_FALSE(out.accepted);
        EXPECT_EQ(out.message, c.message);
        EXPECT_EQ(out.relation, 1);
        EXPECT_EQ(u.numFree, before.numFree);
        EXPECT_EQ(u.relationCount, 0);
        EXPECT_EQ(FreeList(u, 5), FreeList(before, 5));
    }

    // Two relations setting one coefficient.
    UnivariateFields u = Seasonal(0);
    ConstrainWork w = LoadConstraints(u);
    w.rows[1] = {13, 1, 12, false};
    w.rows[2] = {13, 12, 1, false};
    const ConstrainOutcome twice = CommitConstraints(w, 2, u);
    EXPECT_FALSE(twice.accepted);
    EXPECT_EQ(twice.relation, 2);

    // Set to zero on phi2 of the causal AR(2) (1.2, -0.5) leaves AR(1) 1.2: not causal.
    UnivariateFields ar = Model(2, 0, {1.2, -0.5}, {});
    ConstrainWork a = LoadConstraints(ar);
    a.fixedAr[2] = true;
    SetFixedToZero(a);
    const ConstrainOutcome noncausal = CommitConstraints(a, 0, ar);
    EXPECT_EQ(noncausal.message, "Model no longer causal");
    EXPECT_EQ(ar.phi[2], -0.5);
}

TEST(Constraints, RelationCountAndIndexWhileTyping)
{
    const std::string range = kRelationCountMessage;
    struct Case {
        const char* text;
        std::string message;
        int32_t count;
    } cases[] = {{"0", "", 0},
                 {"6", "", 6},
                 {"7", range, 0},
                 {"-1", range, 0},
                 {"99999999999", range, 0},
                 {"x", "Number of relations \"x\" is not a number.", 0},
                 {"1.5", "Number of relations \"1.5\" is not a whole number.", 0},
                 {"", "Number of relations is empty: type one number.", 0}};
    for (const Case& c : cases) {
        int32_t count = 0;
        EXPECT_EQ(ReadRelationCount(c.text, count), c.message) << c.text;
        EXPECT_EQ(count, c.count) << c.text;
    }
    ConstrainWork w = LoadConstraints(Model(3, 1, {0.1, 0.1, 0.1}, {0.2}));
    struct Index {
        const char* text;
        bool ma;
        std::string message;
        int32_t x;  // -7: left as it was
    } const indices[] = {{"3", false, "", 3},
                         {"4", false, "Invalid index, must be less than AR Order = 3", -7},
                         {"99999999999", false, "Invalid index, must be less than AR Order = 3", -7},
                         {"abc", true, "Index \"abc\" is not a number.", -7},
                         {" ", true, "", 0},
                         {"0,5", true, "Index \"0,5\" has a decimal comma: type a decimal point.", -7}};
    for (const Index& c : indices) {
        int32_t x = -7;
        EXPECT_EQ(ReadRelationIndex(w, c.ma, c.text, x), c.message) << c.text;
        EXPECT_EQ(x, c.x) << c.text;
    }
    EXPECT_EQ(RelationIndexMessage(w, false, 3), "");
    EXPECT_EQ(RelationIndexMessage(w, false, 4), "Invalid index, must be less than AR Order = 3");
    EXPECT_EQ(RelationIndexMessage(w, true, 2), "Invalid index, must be less than MA Order = 1");
    EXPECT_EQ(RelationIndexMessage(w, true, 0), "");
}

// Opening a file replaces the model: the old relations and free list would address coefficients
// of another model (and the objective would write past the MA part).
TEST(Constraints, OpeningAFileDropsTheOldConstraints)
{
    UnivariateProject project;
    project.p = 13;
    project.phi[1] = 0.5;
    project.phi[12] = 0.4;
    project.relationCount = 1;
    project.relations[1][1] = 13;
    project.relations[1][2] = 1;
    project.relations[1][3] = 12;
    project.numFree = 2;
    project.freeIndex[1] = 1;
    project.freeIndex[2] = 12;
    project.freeIndex[3] = 13;
    UnivariateFileContents contents;
    contents.p = 0;
    contents.q = 2;
    contents.theta[1] = 0.4;
    contents.firstIndex = 1;
    contents.lastIndex = 3;
    contents.series = {1.0, 2.0, 3.0};
    uint32_t colors[kPlotColorCount + 1] = {};
    CommitUnivariateFile(contents, project, colors);
    EXPECT_EQ(project.relationCount, 0);
    EXPECT_EQ(project.relations[1][1], 0);
    EXPECT_EQ(project.numFree, 1);
    EXPECT_EQ(project.freeIndex[1], 1);
}

}  // namespace
