#pragma once

namespace orvanta::testing {

// Makes every use of a control name the fake window lacks a test failure.
void reportUnknownControlsAsFailures();

}  // namespace orvanta::testing
