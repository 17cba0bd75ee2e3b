#include "shell/command_table.h"

#include <map>
#include <new>

#include "shell/project_table.h"

namespace {

struct CommandEntry {
    CommandGuard guard = GUARD_NONE;
    PlainCommand plain = nullptr;
    UnivariateCommand univariate = nullptr;
    MultivariateCommand multivariate = nullptr;
};

// Filled at start-up only; looked up once per command.
std::map<uint32_t, CommandEntry>& Commands()
{
    static std::map<uint32_t, CommandEntry> commands;
    return commands;
}

CommandFailureReporter failureReporter = nullptr;

void Store(uint32_t id, const CommandEntry& entry, bool hasHandler)
{
    if (hasHandler)
        Commands()[id] = entry;
    else
        Commands().erase(id);
}

// The current slot, or null when no project is current or the current slot holds none.
const ProjectSlot* CurrentSlot()
{
    if (CurrentProject < 1 || CurrentProject > kMaxProjects) return nullptr;
    const ProjectSlot& slot = ProjectTable[CurrentProject];
    return slot.kind == PROJECT_FREE ? nullptr : &slot;
}

void Run(const CommandEntry& entry)
{
    const ProjectSlot* slot = CurrentSlot();
    switch (entry.guard) {
    case GUARD_NONE:
        entry.plain();
        return;
    case GUARD_CURRENT:
        if (slot) entry.plain();
        return;
    case GUARD_UNIVARIATE:
        if (!slot || slot->kind != PROJECT_UNIVARIATE || !slot->univariate) return;
        if (entry.univariate)
            entry.univariate(*slot->univariate);
        else
            entry.plain();
        return;
    case GUARD_MULTIVARIATE:
        if (!slot || slot->kind != PROJECT_MULTIVARIATE || !slot->multivariate) return;
        if (entry.multivariate)
            entry.multivariate(*slot->multivariate);
        else
            entry.plain();
        return;
    }
}

}  // namespace

void RegisterCommand(uint32_t id, CommandGuard guard, PlainCommand handler)
{
    CommandEntry entry;
    entry.guard = guard;
    entry.plain = handler;
    Store(id, entry, handler != nullptr);
}

void RegisterUnivariateCommand(uint32_t id, UnivariateCommand handler)
{
    CommandEntry entry;
    entry.guard = GUARD_UNIVARIATE;
    entry.univariate = handler;
    Store(id, entry, handler != nullptr);
}

void RegisterMultivariateCommand(uint32_t id, MultivariateCommand handler)
{
    CommandEntry entry;
    entry.guard = GUARD_MULTIVARIATE;
    entry.multivariate = handler;
    Store(id, entry, handler != nullptr);
}

bool IsCommandRegistered(uint32_t id) { return Commands().count(id) != 0; }

bool DispatchCommand(uint32_t id)
{
    const auto found = Commands().find(id);
    if (found == Commands().end()) return false;
    // A copy: a handler may register commands while it runs.
    const CommandEntry entry = found->second;
    try {
        Run(entry);
    } catch (const std::bad_alloc&) {
        // No exception may reach the window procedure that called us.
        if (failureReporter) failureReporter(id);
    }
    return true;
}

void SetCommandFailureReporter(CommandFailureReporter reporter) { failureReporter = reporter; }
