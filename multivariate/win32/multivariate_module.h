#pragma once
// The multivariate module's start-up registration.

// Registers the multivariate project kind (its project operations, toolbar and status bar), the
// window operations of its records and every multivariate command in the frame's command table.
// Called once at start, after the frame exists.
void RegisterMultivariateModule();
