// COM results as the program's numbered failures, the numbers the old runtime gave.

#include "support/windows/automation.h"

#include <gtest/gtest.h>
#include <oleauto.h>

#include "fixtures/failure_number.h"

namespace fernkartei::support::automation {
namespace {

TEST(Automation, ComResultsBecomeTheRuntimesNumbers) {
  const struct {
    HRESULT result;
    std::int32_t number;
    const char* description;
  } cases[] = {
      {DISP_E_UNKNOWNNAME, 438, "Object doesn't support this property or method"},
      {DISP_E_MEMBERNOTFOUND, 438, "Object doesn't support this property or method"},
      {REGDB_E_CLASSNOTREG, 429, "ActiveX component can't create object"},
      {DISP_E_TYPEMISMATCH, 13, "Type mismatch"},
      {MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, 91), 91,
       "Object variable or With block variable not set"},
      {RPC_E_DISCONNECTED, 440, "Automation error"},
  };
  for (const auto& c : cases) {
    const Failure failure = FailureOfHresult(c.result);
    EXPECT_EQ(failure.number(), c.number) << std::hex << c.result;
    EXPECT_EQ(failure.description(), c.description) << std::hex << c.result;
  }
  // A server's own error keeps its text; its number is the runtime's for the code it gives.
  EXCEPINFO raised{};
  raised.scode = DISP_E_TYPEMISMATCH;
  raised.bstrDescription = SysAllocString(L"Der Vorgang ist fehlgeschlagen.");
  const Failure failure = FailureOfHresult(DISP_E_EXCEPTION, &raised);
  EXPECT_EQ(failure.number(), 13);
  EXPECT_EQ(failure.description(), "Der Vorgang ist fehlgeschlagen.");
  // No component of that name, and no object.
  ComApartment apartment;
  EXPECT_EQ(testing::FailureNumberOf([] { Dispatch::Create("Fernkartei.Nirgends"); }), 429);
  EXPECT_EQ(testing::FailureNumberOf([] { Dispatch().Get("Items"); }), 91);
}

}  // namespace
}  // namespace fernkartei::support::automation
