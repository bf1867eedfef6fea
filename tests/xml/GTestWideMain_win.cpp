// The Windows test programs link with -municode, whose start-up calls wmain; GoogleTest's own main is
// then never reached.
#include <gtest/gtest.h>

int wmain(int argc, wchar_t** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
