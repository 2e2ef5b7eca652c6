// Shared helpers of the QR tests: the module is started once, and the
// fatal report is turned into an exception that carries source, method and
// message.
#pragma once

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "qr/report.h"

namespace qrtest {

struct Report : std::runtime_error {
    Report(std::string s, std::string m, std::string msg)
        : std::runtime_error(s + " / " + m + " / " + msg),
          source(std::move(s)),
          method(std::move(m)),
          message(std::move(msg)) {}
    std::string source, method, message;
};

// Runs f and returns the report it raised; fails the test when none came.
template <typename F>
Report expectReport(F&& f) {
    try {
        f();
    } catch (const Report& r) {
        return r;
    }
    ADD_FAILURE() << "no report was raised";
    return Report("", "", "");
}

}  // namespace qrtest

#define EXPECT_QR_REPORT(statement, src, meth, msg)                         \
    do {                                                                    \
        const qrtest::Report r_ = qrtest::expectReport([&] { statement; }); \
        EXPECT_EQ(r_.source, src);                                          \
        EXPECT_EQ(r_.method, meth);                                         \
        EXPECT_EQ(r_.message, msg);                                         \
    } while (0)
