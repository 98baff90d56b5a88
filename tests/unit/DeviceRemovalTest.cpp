// Which failed reads mean that the device has gone, and which do not.
#include "serial/DeviceRemoval.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

constexpr PortError QuerySucceeded = NoError;

struct Case {
    const char* what;
    PortError readError;
    PortError queryError;
    bool gone;

    friend void PrintTo(const Case& c, std::ostream* os) { *os << c.what; }
};

class DeviceRemovalTest : public testing::TestWithParam<Case> {};

TEST_P(DeviceRemovalTest, DecidesFromTheReadAndTheErrorQuery) {
    EXPECT_EQ(DeviceIsGone(GetParam().readError, GetParam().queryError), GetParam().gone);
}

INSTANTIATE_TEST_SUITE_P(Codes, DeviceRemovalTest, testing::Values(
    // The codes that drivers give reads once their device has been removed.
    Case{"file not found", 2, QuerySucceeded, true},
    Case{"access denied (USB CDC driver)", 5, QuerySucceeded, true},
    Case{"bad command", 22, QuerySucceeded, true},
    Case{"general failure", 31, QuerySucceeded, true},
    Case{"device does not exist", 55, QuerySucceeded, true},
    Case{"no such device", 433, QuerySucceeded, true},
    Case{"device not connected", 1167, QuerySucceeded, true},
    Case{"device removed", 1617, QuerySucceeded, true},
    // An aborted read is a line error or our own cancel while the port answers its error
    // query, and a removal once the query fails too.
    Case{"aborted, query answers", 995, QuerySucceeded, false},
    Case{"aborted, query: bad command", 995, 22, true},
    Case{"aborted, query: access denied", 995, 5, true},
    // A port without an error query fails it so while its device is there.
    Case{"aborted, query: invalid parameter", 995, 87, false},
    Case{"aborted, query not supported", 995, 50, false},
    // A read that ends empty is an idle line, unless the query fails as on a hung-up terminal.
    Case{"empty, query answers", 0, QuerySucceeded, false},
    Case{"empty, query: not ready", 0, 21, true},
    Case{"invalid handle", 6, QuerySucceeded, false},
    Case{"I/O device error", 1117, QuerySucceeded, false},
    Case{"failed without a code", 0, QuerySucceeded, false}));

}  // namespace
