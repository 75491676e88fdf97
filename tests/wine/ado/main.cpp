// The Wine suite of the ADO backend: the data-access library is started as
// the component starts it, which also initialises COM on the test thread.
#include <gtest/gtest.h>

#include "dbax/ax_exception.h"
#include "dbax/ax_library.h"

namespace {

class DataAccessLibrary : public ::testing::Environment {
 public:
  void SetUp() override {
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
};

}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new DataAccessLibrary);
  return RUN_ALL_TESTS();
}
