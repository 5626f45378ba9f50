// The choice settings in save data: seven words (item graphic, three colours, hover, leave and
// decide labels). Items and sprites are not saved: a snapshot taken by select resumes at the
// select call, which builds the menu again.
#include "save/save_blocks.h"

namespace save {

void choice_save_write(const engine::VmContext& vm, codec::ByteWriter& out) {
  const engine::SelectState& s = vm.select;
  out.u32(s.dwGraphic);
  out.u32(s.dwColorNormal);
  out.u32(s.dwColorHover);
  out.u32(s.dwColorThird);
  out.u32(s.dwHoverLabel);
  out.u32(s.dwLeaveLabel);
  out.u32(s.dwDecideLabel);
}

bool choice_save_check(codec::ByteReader& in, SaveCheck& check) {
  in.skip(16);
  const uint32_t hover = in.u32(), leave = in.u32(), decide = in.u32();
  if (!check.whole(in, "choice settings")) return false;
  // Labels are code offsets from the code base, 0 for none.
  return (!hover || check.label(hover, false, "choice hover label")) &&
         (!leave || check.label(leave, false, "choice leave label")) &&
         (!decide || check.label(decide, false, "choice decide label"));
}

void choice_save_read(engine::VmContext& vm, codec::ByteReader& in, const LoadMode&) {
  engine::SelectState& s = vm.select;
  s.dwGraphic = in.u32();
  s.dwColorNormal = in.u32();
  s.dwColorHover = in.u32();
  s.dwColorThird = in.u32();
  s.dwHoverLabel = in.u32();
  s.dwLeaveLabel = in.u32();
  s.dwDecideLabel = in.u32();
}

}  // namespace save
