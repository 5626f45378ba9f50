#include <cstdint>
#include <string>
#include <vector>

#include "commands/command_util.h"
#include "engine/orv_api.h"
#include "engine/formats/startup_info.h"
#include "engine/startup_steps.h"
#include "engine/formats/system_files.h"
#include "platform/message_box.h"
#include "platform/whole_file.h"
#include "shared/byte_codec.h"

namespace engine {
namespace {

// "スクリプトファイルが更新されています。\nシステムデータ/セーブデータを削除しますか？"
constexpr char kScriptChanged[] =
    "\x83X\x83N\x83\x8a\x83v\x83g\x83t\x83@\x83"
    "C\x83\x8b\x82\xaa\x8dX\x90V\x82\xb3\x82\xea\x82"
    "\xc4\x82\xa2\x82\xdc\x82\xb7\x81"
    "B\n\x83V\x83X\x83"
    "e\x83\x80\x83"
    "f\x81[\x83^/\x83Z\x81["
    "\x83u\x83"
    "f\x81[\x83^\x82\xf0\x8d\xed\x8f\x9c\x82\xb5\x82\xdc\x82\xb7\x82\xa9\x81H";
// "検証結果"
constexpr char kCheckCaption[] = "\x8c\x9f\x8f\xd8\x8c\x8b\x89\xca";
// "データの削除に失敗しました。\n手動で削除してください。"
constexpr char kWipeFailed[] =
    "\x83"
    "f\x81[\x83^\x82\xcc\x8d\xed\x8f\x9c\x82\xc9\x8e\xb8\x94s\x82\xb5\x82\xdc\x82\xb5\x82"
    "\xbd\x81"
    "B\n\x8e\xe8\x93\xae\x82\xc5\x8d\xed\x8f\x9c\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3"
    "\x82\xa2\x81"
    "B";
// "予期せぬエラー"
constexpr char kUnexpectedCaption[] = "\x97\\\x8a\xfa\x82\xb9\x82\xca\x83G\x83\x89\x81[";

}  // namespace

StampCheck script_stamp_check() {
  std::vector<uint8_t> system;
  if (!platform::load_file_bytes(system_dat_path(), &system, 256u << 20) || system.size() < 6) {
    return StampCheck::kContinue;
  }
  // Only a system.dat that passes its checks may lead to deleting the saves: the stamp of a
  // damaged one means nothing (its load keeps it aside and reads what it can).
  SystemDatImage image;
  std::string error;
  if (!system_dat_decode(system.data(), system.size(), &image, &error)) {
    return StampCheck::kContinue;
  }
  const uint32_t kept = image.settings.dwScriptStamp;
  std::string script;
  // Without a readable script nothing shows that it changed: the player's saves stay.
  if (read_data_file("Script.src", &script) != 0 || script.size() < 8) return StampCheck::kContinue;
  codec::ByteReader header(reinterpret_cast<const uint8_t*>(script.data()), script.size());
  header.skip(4);  // the magic
  if (header.u32() == kept) return StampCheck::kContinue;

  if (!startup_settings().bWindowModeLock) {
    // Where no box can be shown the answer keeps the saves.
    const int answer = platform::message_box(
        kScriptChanged, kCheckCaption,
        platform::kMbYesNo | platform::kMbIconQuestion | platform::kMbTopMost, platform::kIdNo);
    if (answer != platform::kIdYes) return StampCheck::kEnd;
  }
  if (!save_folder_wipe()) {
    platform::message_box(kWipeFailed, kUnexpectedCaption,
                          platform::kMbIconQuestion | platform::kMbTopMost);
    return StampCheck::kEnd;
  }
  return StampCheck::kContinue;
}

}  // namespace engine
