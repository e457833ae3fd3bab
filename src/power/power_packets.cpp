// Byte layouts of the display driver's power escapes.
#include "power/power_packets.h"

namespace {

constexpr uint32_t StateShift = 8;    // BH within EBX
constexpr uint32_t ByteMask = 0xFF;
constexpr uint32_t StateCodeOn = 1;
constexpr uint32_t StateCodeStandby = 2;
constexpr uint32_t StateCodeSuspend = 3;
constexpr uint32_t StateCodeOff = 4;

} // namespace

VbePmRegisters VbePmCall(uint32_t state, uint32_t function)
{
    VbePmRegisters registers = {};
    registers.eax = VbePmFunction;
    registers.ebx = (state << StateShift) + function;
    return registers;
}

uint32_t VbePmStatusOf(const VbePmRegisters& reply)
{
    return reply.eax & ByteMask;
}

uint32_t VbePmResultOf(const VbePmRegisters& reply)
{
    return (reply.ebx >> StateShift) & ByteMask;
}

uint32_t PowerStateCodeOf(uint32_t state)
{
    switch (state) {
    case DisplayPowerStandby:
        return StateCodeStandby;
    case DisplayPowerSuspend:
        return StateCodeSuspend;
    case DisplayPowerOff:
        return StateCodeOff;
    default:
        return StateCodeOn;
    }
}

PowerStateRecord PowerStateQueryRecord()
{
    PowerStateRecord record = {};
    record.size = sizeof record;
    return record;
}

PowerStateRecord PowerStateSetRecord(uint32_t state)
{
    PowerStateRecord record = PowerStateQueryRecord();
    record.state = PowerStateCodeOf(state);
    return record;
}

int32_t MonitorPowerOf(uint32_t state)
{
    switch (state) {
    case DisplayPowerStandby:
    case DisplayPowerSuspend:
        return MonitorPowerLow;
    case DisplayPowerOff:
        return MonitorPowerOff;
    default:
        return MonitorPowerOn;
    }
}
