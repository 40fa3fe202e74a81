#pragma once

#include <cstdio>
#include <cstdlib>

// A property of a parser that the input broke: report it and stop, so the fuzzer keeps the
// input and the corpus replay fails on it.
#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
