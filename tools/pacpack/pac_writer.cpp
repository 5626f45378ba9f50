#include "pacpack/pac_writer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "Orv/core/files/pac_format.h"
#include "platform/sjis.h"

namespace pacpack {
namespace {

struct Keyed {
  uint8_t key[pac::kNameSize];
  const Member* member;
};

bool key_less(const Keyed& a, const Keyed& b) {
  return std::memcmp(a.key, b.key, pac::kNameSize) < 0;
}

}  // namespace

bool build_archive(const std::vector<Member>& members, std::string* out, std::string* error) {
  std::vector<Keyed> entries;
  entries.reserve(members.size());
  for (const Member& m : members) {
    std::string stored = pac::normalize_name(m.name.c_str());
    if (stored.empty()) {
      *error = "cannot store \"" + m.name + "\": its file name is empty or too long";
      return false;
    }
    if (static_cast<uint8_t>(stored[0]) == 0xFF) {
      *error = "cannot store \"" + m.name + "\": a name may not begin with byte 255";
      return false;
    }
    Keyed k;
    pac::name_key(stored, k.key);
    k.member = &m;
    entries.push_back(k);
  }
  std::sort(entries.begin(), entries.end(), key_less);
  for (size_t i = 1; i < entries.size(); ++i) {
    if (std::memcmp(entries[i - 1].key, entries[i].key, pac::kNameSize) == 0) {
      *error = "\"" + entries[i - 1].member->name + "\" and \"" + entries[i].member->name +
               "\" agree on the 32 bytes the archive keeps of a name";
      return false;
    }
  }

  const uint64_t directory_end = pac::kDirectoryStart + uint64_t{pac::kEntrySize} * entries.size();
  uint64_t total = directory_end;
  for (const Keyed& k : entries) total += k.member->data.size();
  if (total > UINT32_MAX) {
    *error = "the archive would pass 4 GiB, which its 32-bit offsets cannot address";
    return false;
  }

  // Buckets of first bytes that no name has stay empty (entry 0, none).
  pac::Bucket buckets[pac::kBucketCount] = {};
  for (size_t i = 0; i < entries.size();) {
    const uint8_t first_byte = entries[i].key[0];
    size_t j = i;
    while (j < entries.size() && entries[j].key[0] == first_byte) ++j;
    buckets[first_byte] = {static_cast<int32_t>(i), static_cast<uint32_t>(j - i)};
    i = j;
  }
  std::vector<uint8_t> directory;
  directory.reserve(static_cast<size_t>(directory_end));
  codec::ByteWriter w(&directory);
  // Header: a tag and the number of entries, for people reading a dump; the library skips it.
  w.bytes("PAC", 4);
  w.u32(static_cast<uint32_t>(entries.size()));
  w.zeros(pac::kHeaderSize - 8);
  for (pac::Bucket& b : buckets) sync(w, b);
  uint32_t offset = static_cast<uint32_t>(directory_end);
  for (const Keyed& k : entries) {
    pac::Entry e{};
    std::memcpy(e.key, k.key, pac::kNameSize);
    e.size = static_cast<uint32_t>(k.member->data.size());
    e.offset = offset;
    sync(w, e);
    offset += e.size;
  }
  out->reserve(static_cast<size_t>(total));
  out->assign(directory.begin(), directory.end());
  for (const Keyed& k : entries) out->append(k.member->data);
  return true;
}

bool pack_folder(const std::string& folder, const std::string& archive, std::string* error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  std::vector<Member> members;
  fs::directory_iterator it(folder, ec);
  if (ec) {
    *error = folder + ": " + ec.message();
    return false;
  }
  for (const fs::directory_entry& e : it) {
    if (!e.is_regular_file(ec)) continue;
    Member m;
    std::string utf8 = e.path().filename().string();
    if (!platform::utf8_to_sjis(utf8, m.name)) {
      *error = e.path().string() + ": the name has no Shift-JIS form";
      return false;
    }
    std::ifstream in(e.path(), std::ios::binary);
    m.data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
      *error = e.path().string() + ": cannot be read";
      return false;
    }
    members.push_back(std::move(m));
  }
  std::string bytes;
  if (!build_archive(members, &bytes, error)) {
    *error = archive + ": " + *error;
    return false;
  }
  // Written beside the target and renamed into place, so a failed run leaves no half archive.
  std::string tmp = archive + ".tmp";
  {
    std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
      fs::remove(tmp, ec);
      *error = archive + ": cannot be written";
      return false;
    }
  }
  fs::rename(tmp, archive, ec);
  if (ec) {
    fs::remove(tmp, ec);
    *error = archive + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace pacpack
