// File access flags of File.dat names and of other names, from assembled scripts.
#include "support/vm_fixture.h"

namespace enginetest {
namespace {

class AccessFlags : public VmTest {};

TEST_F(AccessFlags, StatesOfTableFilesAndOtherNames) {
  load(
      ".file \"A.PNG\"\n"
      ".file \"B.PNG\"\n"
      "call get_access_flags(file\"A.PNG\", r9, r9, r9, r9, r9, r9, r9) -> r1\n"
      "call entry_access(file\"A.PNG\")\n"
      "call get_access_flags(file\"A.PNG\", r9, r9, r9, r9, r9, r9, r9) -> r2\n"
      "call update_access(file\"A.PNG\")\n"
      "call entry_access(file\"A.PNG\")\n"
      "call get_access_flags(file\"A.PNG\", r9, r9, r9, r9, r9, r9, r9) -> r3\n"
      // a slot holding the lower-case form finds the File.dat entry
      "call string(0) -> r10\n"
      "call strcpy(r10, text\"b.png\", -1)\n"
      "call entry_access(r10)\n"
      "call update_access(r10)\n"
      "call get_access_flags(file\"B.PNG\", r9, r9, r9, r9, r9, r9, r9) -> r4\n"
      // a name in neither table
      "call string(0) -> r11\n"
      "call strcpy(r11, text\"extra.ogg\", -1)\n"
      "call entry_access(r11)\n"
      "call get_access_flags(r11, r9, r9, r9, r9, r9, r9, r9) -> r5\n"
      "call clear_access(r11)\n"
      "call entry_access(r11)\n"  // already listed: stays 0
      "call get_access_flags(r11, r9, r9, r9, r9, r9, r9, r9) -> r6\n"
      "call get_access_flags(r9, r9, r9, r9, r9, r9, r9, r9) -> r7\n"
      "call clear_access(file\"A.PNG\")\n"
      "call get_access_flags(file\"A.PNG\", 999, r9, r9, r9, r9, r9, r9) -> r8\n"
      "call entry_access(999)\n");
  vm().reg[9] = 0x0FFFFFFF;
  run();
  EXPECT_EQ(vm().reg[1], 0u);
  EXPECT_EQ(vm().reg[2], 3u);
  EXPECT_EQ(vm().reg[3], 1u);  // met again, not new again
  EXPECT_EQ(vm().reg[4], 1u);
  EXPECT_EQ(vm().reg[5], 3u);
  EXPECT_EQ(vm().reg[6], 0u);
  EXPECT_EQ(vm().reg[7], 0u);
  EXPECT_EQ(vm().reg[8], 0u);  // an index past File.dat adds nothing and touches nothing
  EXPECT_TRUE(logged(10, "update_access 1"));
}

}  // namespace
}  // namespace enginetest
