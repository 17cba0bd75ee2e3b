#pragma once
// The univariate module's start-up registration.

// Registers the univariate project kind (its project operations, toolbar and status bar), the
// window operations of its records and every univariate command in the frame's command table.
// Called once at start, after the frame exists.
void RegisterUnivariateModule();
