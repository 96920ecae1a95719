#include "platform/com/core/automation.h"
#include "platform/com/core/bstr.h"

#include <gtest/gtest.h>

using namespace platform::com;

TEST(Automation, InvokeFailuresBecomeTheErrorsAHostSees)
{
    EXCEPINFO info{};
    info.scode = MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 380);
    info.bstrDescription = bstrFromQString(QStringLiteral("Invalid property value"));
    const platform::RuntimeError e = errorFromInvoke(DISP_E_EXCEPTION, info);
    EXPECT_EQ(e.number(), 380);
    EXPECT_EQ(e.description(), QStringLiteral("Invalid property value"));
    clearExcepInfo(&info);
    EXPECT_EQ(errorFromInvoke(DISP_E_TYPEMISMATCH, info).number(), 13);
    EXPECT_EQ(errorFromInvoke(DISP_E_MEMBERNOTFOUND, info).number(), 438);
    EXPECT_EQ(errorFromInvoke(E_FAIL, info).number(), 440);
    EXPECT_EQ(hresultMessage(REGDB_E_CLASSNOTREG), QStringLiteral("Class not registered (0x80040154)"));
}
