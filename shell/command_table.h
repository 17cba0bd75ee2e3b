#pragma once
// The frame's command table: command id -> guard -> handler. The shell registers its own
// commands; the univariate and multivariate modules register theirs at start-up, so the shell
// knows no project kind. The guards are applied here and nowhere else.
#include <cstdint>

enum CommandGuard : int32_t {
    GUARD_NONE = 0,          // runs always
    GUARD_CURRENT = 1,       // runs only while the current slot holds a project
    GUARD_UNIVARIATE = 2,    // runs only while the current slot holds a univariate project
    GUARD_MULTIVARIATE = 3,  // runs only while the current slot holds a multivariate project
};

struct UnivariateProject;
struct MultivariateProject;

using PlainCommand = void (*)();                         // GUARD_NONE and GUARD_CURRENT
using UnivariateCommand = void (*)(UnivariateProject&);  // gets the current slot's record
using MultivariateCommand = void (*)(MultivariateProject&);

// Puts `id` in the table with its guard and handler; a later registration of the same id
// replaces the earlier one, and a null handler takes the id out of the table. A plain handler
// registered with GUARD_UNIVARIATE or GUARD_MULTIVARIATE runs under that guard without the record.
void RegisterCommand(uint32_t id, CommandGuard guard, PlainCommand handler);
void RegisterUnivariateCommand(uint32_t id, UnivariateCommand handler);
void RegisterMultivariateCommand(uint32_t id, MultivariateCommand handler);

// Runs the handler of `id` when its guard holds for CurrentProject and the ProjectTable; a failed
// guard does nothing and says nothing. Returns true when the id is in the table (run or refused),
// false when it belongs to the default frame procedure.
bool DispatchCommand(uint32_t id);

// Whether `id` is in the table.
bool IsCommandRegistered(uint32_t id);

// Called with the command id when a handler ran out of memory; the project keeps what the
// handler had finished. Null: the failure is dropped silently.
using CommandFailureReporter = void (*)(uint32_t id);
void SetCommandFailureReporter(CommandFailureReporter reporter);
