// control.ini faults shared by the saver run and the setup dialog tests.
#include "support/ini_faults.h"

#include <windows.h>

#include "support/wine_test.h"

namespace {

const char Header[] = "[Screen Saver.Kelvorin]\r\n";
const char Before[] = "[Desktop]\r\nPattern=(None)\r\nWallpaper=(None)\r\n";
const char After[] = "[Screen Saver.Marquee]\r\nPWProtected=1\r\nSpeed=3\r\n";

std::string Around(const std::string& ours)
{
    return std::string(Before) + Header + ours + After;
}

} // namespace

const std::vector<IniFault>& ControlIniFaults()
{
    static const std::vector<IniFault> faults = {
        {"read-only",
         Around("Video Managed=1\r\nStandby=1\r\nStandby After=0\r\nDrive Standby=1\r\n"
                "Spin Down After=0\r\nPWProtected=1\r\nScreen Saver=None\r\n"),
         true, false},
        {"garbage bytes",
         Around(std::string("Mouse=\xff\xfe\x01\x02\r\n\x80\x81\x9f no equals sign\r\n=no key\r\n"
                            "Standby After=-5\r\nVideo Managed=\x01\x7f\rStandby=\x1b[2J\n"
                            "Screen Saver=\xe9\xe8\x07\r\nSCRNSAVE.EXE=\x01\x02\x03\r\n"
                            "PWProtected=\xff\r\nNul=a")
                + std::string(1, '\0') + "b\r\n"),
         false, true},
        {"enormous numbers",
         Around("Video Managed=2147483648\r\nStandby=-1\r\nSuspend=99999999999999999999\r\n"
                "Standby After=99999999999999999999\r\nSuspend After=4294967296\r\n"
                "Off After=4294967295\r\nSpin Down After=18446744073709551617\r\n"
                "Mouse=4294967295\r\nDrive Standby=65536\r\nScreen Saver Speed=70000\r\n"
                "Screen Saver=None\r\n"),
         false, false},
        {"over-long texts",
         Around("Screen Saver=" + std::string(1000, 'A') + "\r\nSCRNSAVE.EXE=C:\\"
                + std::string(1000, 'B') + "\r\n" + std::string(300, 'K') + "=1\r\nMouse="
                + std::string(400, '1') + "\r\n"),
         false, true},
        {"no section", std::string(Before) + After, false, false},
    };
    return faults;
}

std::string OutsideApplicationSection(const std::string& ini)
{
    size_t start = ini.find(Header);
    if (start == std::string::npos)
        return ini;
    size_t end = ini.find("\n[", start + 1);
    end = end == std::string::npos ? ini.size() : end + 1;
    return ini.substr(0, start) + ini.substr(end);
}

// Wine run as root writes files whatever their read-only attribute says, so a
// read-only file is also held open without write sharing, as another program
// might hold it; then no one can open it for writing.
PlacedIniFault::PlacedIniFault(const IniFault& fault)
{
    SetControlIni(fault.contents);
    if (!fault.readOnly)
        return;
    SetFileAttributesA(ControlIniPath().c_str(), FILE_ATTRIBUTE_READONLY);
    held_ = CreateFileA(ControlIniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                        OPEN_EXISTING, 0, nullptr);
}

PlacedIniFault::~PlacedIniFault()
{
    if (held_ && held_ != INVALID_HANDLE_VALUE)
        CloseHandle(held_);
    SetFileAttributesA(ControlIniPath().c_str(), FILE_ATTRIBUTE_NORMAL);
    FlushProfileCache();
}
