#include "shell/command_table.h"

#include <gtest/gtest.h>

#include <new>
#include <string>

#include "multivariate/multivariate_project.h"
#include "shell/project_kinds.h"
#include "shell/project_table.h"
#include "univariate/univariate_project.h"

namespace {

// Ids far from the program's, so the tests never meet a real command.
constexpr uint32_t kId = 61001;
constexpr uint32_t kOtherId = 61002;

// What the last dispatch ran: which handler, and the record it got.
struct Calls {
    int plain = 0;
    int other = 0;
    UnivariateProject* univariate = nullptr;
    MultivariateProject* multivariate = nullptr;
    uint32_t failed = 0;
} calls;

void Plain() { ++calls.plain; }
void Other() { ++calls.other; }
void OnUnivariate(UnivariateProject& u) { calls.univariate = &u; }
void OnMultivariate(MultivariateProject& m) { calls.multivariate = &m; }
void OutOfMemory() { throw std::bad_alloc(); }
void Failed(uint32_t id) { calls.failed = id; }

// The project table in one of the states a command can meet.
enum class Current { NONE, FREE_SLOT, UNIVARIATE, MULTIVARIATE, OUT_OF_RANGE };

class CommandTableTest : public testing::Test {
protected:
    void SetUp() override
    {
        InitProjects();
        calls = Calls{};
    }
    void TearDown() override
    {
        InitProjects();
        RegisterCommand(kId, GUARD_NONE, nullptr);
        RegisterCommand(kOtherId, GUARD_NONE, nullptr);
        SetCommandFailureReporter(nullptr);
    }

    void Make(Current current)
    {
        InitProjects();
        ProjectTable[2].kind = PROJECT_UNIVARIATE;
        ProjectTable[2].univariate = &u_;
        ProjectTable[5].kind = PROJECT_MULTIVARIATE;
        ProjectTable[5].multivariate = &m_;
        switch (current) {
        case Current::NONE: CurrentProject = 0; break;
        case Current::FREE_SLOT: CurrentProject = 7; break;
        case Current::UNIVARIATE: CurrentProject = 2; break;
        case Current::MULTIVARIATE: CurrentProject = 5; break;
        case Current::OUT_OF_RANGE: CurrentProject = kMaxProjects + 1; break;
        }
    }

    UnivariateProject u_;
    MultivariateProject m_;
};

}  // namespace

// Every guard against every state of the current slot: the handler runs exactly where its guard
// holds, with the current slot's own record, and the id counts as handled either way.
TEST_F(CommandTableTest, GuardsAgainstEveryStateOfTheCurrentSlot)
{
    enum Handler { PLAIN, UNIVARIATE, MULTIVARIATE };
    struct Case {
        CommandGuard guard;
        Handler handler;
        Current current;
        bool runs;
    };
    const Case cases[] = {
        {GUARD_NONE, PLAIN, Current::NONE, true},
        {GUARD_NONE, PLAIN, Current::FREE_SLOT, true},
        {GUARD_NONE, PLAIN, Current::UNIVARIATE, true},
        {GUARD_NONE, PLAIN, Current::MULTIVARIATE, true},
        {GUARD_NONE, PLAIN, Current::OUT_OF_RANGE, true},
        {GUARD_CURRENT, PLAIN, Current::NONE, false},
        {GUARD_CURRENT, PLAIN, Current::FREE_SLOT, false},
        {GUARD_CURRENT, PLAIN, Current::UNIVARIATE, true},
        {GUARD_CURRENT, PLAIN, Current::MULTIVARIATE, true},
        {GUARD_CURRENT, PLAIN, Current::OUT_OF_RANGE, false},
        {GUARD_UNIVARIATE, UNIVARIATE, Current::NONE, false},
        {GUARD_UNIVARIATE, UNIVARIATE, Current::FREE_SLOT, false},
        {GUARD_UNIVARIATE, UNIVARIATE, Current::UNIVARIATE, true},
        {GUARD_UNIVARIATE, UNIVARIATE, Current::MULTIVARIATE, false},
        {GUARD_UNIVARIATE, UNIVARIATE, Current::OUT_OF_RANGE, false},
        {GUARD_MULTIVARIATE, MULTIVARIATE, Current::NONE, false},
        {GUARD_MULTIVARIATE, MULTIVARIATE, Current::FREE_SLOT, false},
        {GUARD_MULTIVARIATE, MULTIVARIATE, Current::UNIVARIATE, false},
        {GUARD_MULTIVARIATE, MULTIVARIATE, Current::MULTIVARIATE, true},
        {GUARD_MULTIVARIATE, MULTIVARIATE, Current::OUT_OF_RANGE, false},
        // A plain handler under a kind's guard runs where the record-taking one would.
        {GUARD_UNIVARIATE, PLAIN, Current::UNIVARIATE, true},
        {GUARD_UNIVARIATE, PLAIN, Current::MULTIVARIATE, false},
        {GUARD_MULTIVARIATE, PLAIN, Current::MULTIVARIATE, true},
        {GUARD_MULTIVARIATE, PLAIN, Current::UNIVARIATE, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("guard " + std::to_string(c.guard) + ", handler " + std::to_string(c.handler) +
                     ", current state " + std::to_string(static_cast<int>(c.current)));
        if (c.handler == PLAIN)
            RegisterCommand(kId, c.guard, Plain);
        else if (c.handler == UNIVARIATE)
            RegisterUnivariateCommand(kId, OnUnivariate);
        else
            RegisterMultivariateCommand(kId, OnMultivariate);
        Make(c.current);
        calls = Calls{};
        EXPECT_TRUE(DispatchCommand(kId));
        const bool ran = calls.plain == 1 || calls.univariate || calls.multivariate;
        EXPECT_EQ(ran, c.runs);
        EXPECT_EQ(calls.plain, c.runs && c.handler == PLAIN ? 1 : 0);
        EXPECT_EQ(calls.univariate, c.runs && c.handler == UNIVARIATE ? &u_ : nullptr);
        EXPECT_EQ(calls.multivariate, c.runs && c.handler == MULTIVARIATE ? &m_ : nullptr);
    }
}

TEST_F(CommandTableTest, KindGuardsRefuseASlotWithoutItsRecord)
{
    RegisterUnivariateCommand(kId, OnUnivariate);
    RegisterMultivariateCommand(kOtherId, OnMultivariate);
    Make(Current::UNIVARIATE);
    ProjectTable[2].univariate = nullptr;
    ProjectTable[5].multivariate = nullptr;
    EXPECT_TRUE(DispatchCommand(kId));
    CurrentProject = 5;
    EXPECT_TRUE(DispatchCommand(kOtherId));
    EXPECT_EQ(calls.univariate, nullptr);
    EXPECT_EQ(calls.multivariate, nullptr);
}

TEST_F(CommandTableTest, UnknownIdsGoToTheDefaultProcedure)
{
    EXPECT_FALSE(IsCommandRegistered(kId));
    EXPECT_FALSE(DispatchCommand(kId));

    RegisterCommand(kId, GUARD_NONE, Plain);
    EXPECT_TRUE(IsCommandRegistered(kId));
    EXPECT_FALSE(DispatchCommand(kOtherId));
    EXPECT_EQ(calls.plain, 0);

    // A null handler takes the id out again.
    RegisterCommand(kId, GUARD_NONE, nullptr);
    EXPECT_FALSE(IsCommandRegistered(kId));
    EXPECT_FALSE(DispatchCommand(kId));
}

TEST_F(CommandTableTest, ALaterRegistrationReplacesTheEarlierOne)
{
    Make(Current::MULTIVARIATE);
    RegisterCommand(kId, GUARD_NONE, Plain);
    RegisterCommand(kId, GUARD_NONE, Other);
    EXPECT_TRUE(DispatchCommand(kId));
    EXPECT_EQ(calls.plain, 0);
    EXPECT_EQ(calls.other, 1);

    // The guard is replaced with the handler.
    RegisterUnivariateCommand(kId, OnUnivariate);
    EXPECT_TRUE(DispatchCommand(kId));
    EXPECT_EQ(calls.other, 1);
    EXPECT_EQ(calls.univariate, nullptr);
}

TEST_F(CommandTableTest, AHandlerOutOfMemoryIsReportedAndStopsAtTheTable)
{
    RegisterCommand(kId, GUARD_NONE, OutOfMemory);
    EXPECT_TRUE(DispatchCommand(kId));  // no reporter: dropped, but it does not escape

    SetCommandFailureReporter(Failed);
    EXPECT_TRUE(DispatchCommand(kId));
    EXPECT_EQ(calls.failed, kId);
}

TEST(ProjectKinds, OperationsFollowTheSlotsKind)
{
    InitProjects();
    ProjectKindOperations univariate, multivariate;
    univariate.save = [](int32_t) { return 11; };
    multivariate.save = [](int32_t) { return 22; };
    RegisterProjectKind(PROJECT_UNIVARIATE, univariate);
    RegisterProjectKind(PROJECT_MULTIVARIATE, multivariate);
    RegisterProjectKind(PROJECT_FREE, univariate);  // ignored
    RegisterProjectKind(7, univariate);             // ignored

    ProjectTable[1].kind = PROJECT_UNIVARIATE;
    ProjectTable[2].kind = PROJECT_MULTIVARIATE;
    ProjectTable[4].kind = 7;  // a corrupted kind finds nothing
    ASSERT_NE(ProjectOperations(1), nullptr);
    ASSERT_NE(ProjectOperations(2), nullptr);
    EXPECT_EQ(ProjectOperations(1)->save(1), 11);
    EXPECT_EQ(ProjectOperations(2)->save(2), 22);
    for (int32_t slot : {0, 3, 4, -1, kMaxProjects + 1}) {
        SCOPED_TRACE(slot);
        EXPECT_EQ(ProjectOperations(slot), nullptr);
    }
    EXPECT_EQ(KindOperations(PROJECT_FREE), nullptr);
    InitProjects();
}
