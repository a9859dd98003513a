#pragma once
// The fuzz targets' checks: a failed check names itself on standard error before the abort, so a failure
// in CI says at once which expectation broke (and so whether the program or the expectation is wrong).

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                  \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      std::fprintf(stderr, "fuzz check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__); \
      std::abort();                                                                            \
    }                                                                                          \
  } while (false)
