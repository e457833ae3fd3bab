// Byte layouts of the display driver's power escapes, apart from any driver.
#include <gtest/gtest.h>

#include <cstring>

#include "power/power_packets.h"

namespace {

TEST(PowerPackets, RegisterCallsCarryStateInBhAndFunctionInBl)
{
    const struct {
        uint32_t state, function, ebx;
    } rows[] = {
        {DisplayPowerOn, ReportCapabilities, 0x0000},
        {DisplayPowerOn, SetState, 0x0001},
        {DisplayPowerStandby, SetState, 0x0101},
        {DisplayPowerSuspend, SetState, 0x0201},
        {DisplayPowerOff, SetState, 0x0401},
    };
    for (const auto& row : rows) {
        VbePmRegisters call = VbePmCall(row.state, row.function);
        EXPECT_EQ(0x4F10u, call.eax);
        EXPECT_EQ(row.ebx, call.ebx) << "state " << row.state << ", function " << row.function;
        for (uint32_t word : call.unused)
            EXPECT_EQ(0u, word);
    }
}

TEST(PowerPackets, RepliesYieldAlAndBhOnly)
{
    VbePmRegisters reply = {};
    reply.eax = 0xABCD124F;
    reply.ebx = 0x9876F5E3;
    EXPECT_EQ(0x4Fu, VbePmStatusOf(reply));
    EXPECT_EQ(0xF5u, VbePmResultOf(reply));
}

TEST(PowerPackets, StateRecordsAndMonitorRequestsCarryTheState)
{
    const struct {
        uint32_t state, code;
        int32_t monitor;    // the platform's monitor-power request
    } rows[] = {
        {DisplayPowerOn, 1, -1}, {DisplayPowerStandby, 2, 1}, {DisplayPowerSuspend, 3, 1},
        {DisplayPowerOff, 4, 2}, {3, 1, -1}, {8, 1, -1}, {0x104, 1, -1}, {0xFFFFFFFFu, 1, -1},
    };
    for (const auto& row : rows) {
        PowerStateRecord record = PowerStateSetRecord(row.state);
        EXPECT_EQ(12u, record.size);
        EXPECT_EQ(0u, record.reserved);
        EXPECT_EQ(row.code, record.state) << "state " << row.state;
        EXPECT_EQ(row.monitor, MonitorPowerOf(row.state)) << "state " << row.state;
    }
    PowerStateRecord query = PowerStateQueryRecord();
    EXPECT_EQ(12u, query.size);
    EXPECT_EQ(0u, query.reserved);
    EXPECT_EQ(0u, query.state);
}

} // namespace
