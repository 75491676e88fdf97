// The Wine suite of the ADO backend: the data-access library is started as
// the component starts it, on a thread whose apartment the program made.
#include <gtest/gtest.h>

#include "dbax/ax_exception.h"
#include "dbax/ax_library.h"
#include "win32/com_ptr.h"

namespace {

class DataAccessLibrary : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_TRUE(SUCCEEDED(com_.result()));
    try {
      dbAx::AxLibInit();
    } catch (dbAx::CAxException* caught) {
      FAIL() << "AxLibInit failed: code " << dbAx::TakeAxException(caught)->code;
    }
  }
  void TearDown() override {
    try {
      dbAx::AxLibTerm();
    } catch (dbAx::CAxException* caught) {
      dbAx::TakeAxException(caught);
    }
  }

 private:
  mirdane::win32::ScopedComInit com_;
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new DataAccessLibrary);
  return RUN_ALL_TESTS();
}
