#pragma once
// Small helpers shared by the test executables.

#include <QString>
#include <QtTest>

namespace vela::test {

/// The folder of committed test data (golden files, samples).
inline QString dataDir() { return qEnvironmentVariable("TEST_DATA_DIR"); }
inline QString dataFile(const QString& relative) { return dataDir() + QLatin1Char('/') + relative; }

/// Under CI a missing tool is a failure, not a skip.
inline bool underCi() { return qEnvironmentVariable("CI") == QLatin1String("true"); }

} // namespace vela::test

/// Skips the test (fails it under CI=true) when a needed tool is missing.
#define VELA_REQUIRE_TOOL(available, message)                                                                          \
    do {                                                                                                               \
        if (!(available)) {                                                                                            \
            if (vela::test::underCi()) QFAIL(message);                                                                 \
            QSKIP(message);                                                                                            \
        }                                                                                                              \
    } while (0)
