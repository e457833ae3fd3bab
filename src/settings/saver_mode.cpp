// The saver-mode rule. No Win32 here: it also builds natively.
#include "settings/saver_mode.h"

#include <cstring>

int SaverModeFor(const char* name, const char* ownText, const char* noneText)
{
    if (std::strstr(name, ownText) != nullptr)
        return SaverModeLogo;
    if (std::strncmp(name, noneText, std::strlen(noneText)) == 0)
        return SaverModeBlank;
    return SaverModeChained;
}
