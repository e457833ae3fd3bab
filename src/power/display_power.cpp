// Display power states through the display driver's private escapes: the
// register interface (VBE/PM register images) or the state-record interface,
// whichever the driver answers first. A driver that answers neither, as on
// every Windows since NT, leaves the platform's monitor-power request.
#include "power/display_power.h"

#include "host/host.h"
#include "host/outside.h"
#include "host/texts.h"
#include "resources/resource.h"

HDC DisplayContext = nullptr;
int32_t DisplayPowerInterface = NoPowerEscape;
int32_t DisplayPowerStatus = 0;

namespace {

const char DisplayName[] = "Display";

// ExtEscape answers above zero for success, zero for an escape the driver does
// not know and below zero for an error; only the first counts.
bool Answered(int answer)
{
    return answer > 0;
}

int QueryEscapeSupport(int escape)
{
    int32_t number = escape;
    return Outside::DriverEscape(DisplayContext, QUERYESCSUPPORT, sizeof number,
                                 reinterpret_cast<LPCSTR>(&number), 0, nullptr);
}

uint32_t RegisterRequest(uint32_t state, uint32_t function)
{
    if (!DisplayContext)
        return 0;
    VbePmRegisters input = VbePmCall(state, function);
    VbePmRegisters output = {};
    Outside::DriverEscape(DisplayContext, ESCAPE_VBEPM_CALL, sizeof input,
                          reinterpret_cast<LPCSTR>(&input), sizeof output,
                          reinterpret_cast<LPSTR>(&output));
    DisplayPowerStatus = static_cast<int32_t>(VbePmStatusOf(output));
    return VbePmResultOf(output);
}

uint32_t StateQuery()
{
    if (!DisplayContext)
        return 0;
    PowerStateRecord record = PowerStateQueryRecord();
    if (Answered(Outside::DriverEscape(DisplayContext, ESCAPE_POWER_STATE_QUERY, 0, nullptr,
                                       sizeof record, reinterpret_cast<LPSTR>(&record))))
        DisplayPowerStatus = DisplayPowerSupported;
    return static_cast<uint32_t>(DisplayPowerStatus);
}

// A failed set is not reported: the callers ignore the result of state requests.
uint32_t StateSet(uint32_t state)
{
    PowerStateRecord record = PowerStateSetRecord(state);
    if (DisplayContext)
        Outside::DriverEscape(DisplayContext, ESCAPE_POWER_STATE_SET, sizeof record,
                              reinterpret_cast<LPCSTR>(&record), 0, nullptr);
    return 1;
}

// The platform powers every monitor down and up again by itself.
uint32_t PlatformQuery()
{
    DisplayPowerStatus = DisplayPowerSupported;
    return DisplayPowerCapsStandby | DisplayPowerCapsSuspend | DisplayPowerCapsOff;
}

// Sent, never posted or broadcast, through the saver window's own procedure to
// the default handling. The platform does not answer: a request that reached
// the window counts as done.
uint32_t PlatformSet(uint32_t state)
{
    if (!SaverWindow)
        return 0;
    const int32_t power = MonitorPowerOf(state);
    SendMessageW(SaverWindow, WM_SYSCOMMAND, SC_MONITORPOWER, power);
    // Since Windows 8 the "on" request alone may leave the display dark.
    if (power == MonitorPowerOn)
        SetThreadExecutionState(ES_DISPLAY_REQUIRED);
    DisplayPowerStatus = DisplayPowerSupported;
    return 1;
}

} // namespace

int32_t OpenDisplayPower()
{
    if (DisplayContext)
        return 1;
    DisplayContext = Outside::CreateDisplayContext(DisplayName, DisplayName, nullptr, nullptr);
    if (!DisplayContext) {
        ShowStringBox(IDS_DISPLAY_FAILED, IDS_DISPLAY_FAILED_CAPTION);
        // The platform's request needs no device context; the next query tries again.
        DisplayPowerInterface = PlatformRequest;
        return 1;
    }
    DisplayPowerInterface = NoPowerEscape;
    int answer = QueryEscapeSupport(ESCAPE_VBEPM_CALL);
    if (Answered(answer)) {
        DisplayPowerInterface = RegisterEscape;
        return answer;
    }
    // ESCAPE_POWER_STATE_QUERY goes with ESCAPE_POWER_STATE_SET and is not asked about.
    answer = QueryEscapeSupport(ESCAPE_POWER_STATE_SET);
    if (Answered(answer)) {
        DisplayPowerInterface = StateEscape;
        return answer;
    }
    DisplayPowerInterface = PlatformRequest;
    return 1;
}

uint32_t DisplayPowerRequest(uint32_t state, uint32_t function)
{
    bool capabilityQuery = state == DisplayPowerOn && function == ReportCapabilities;
    if (capabilityQuery && !OpenDisplayPower())
        return 0;
    switch (DisplayPowerInterface) {
    case RegisterEscape:
        return RegisterRequest(state, function);
    case StateEscape:
        return capabilityQuery ? StateQuery() : StateSet(state);
    case PlatformRequest:
        return capabilityQuery ? PlatformQuery() : PlatformSet(state);
    default:
        return 0;
    }
}

void CloseDisplayPower()
{
    if (!DisplayContext)
        return;
    Outside::DeleteDisplayContext(DisplayContext);
    DisplayContext = nullptr;
}
