#include "platform/com/core/dispatch.h"

namespace platform::com {

void clearExcepInfo(EXCEPINFO *info)
{
    if (!info)
        return;
    SysFreeString(info->bstrSource);
    SysFreeString(info->bstrDescription);
    SysFreeString(info->bstrHelpFile);
    *info = EXCEPINFO{};
}

} // namespace platform::com
