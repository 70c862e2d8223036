// The volume container: its exact bytes, block chains, reuse of blocks, the stored map, and
// files that are damaged in the ways a volume file can be.
#include "files/vfs_volume.h"

#include <memory>
#include <string>
#include <vector>

#include "files/file_handle.h"
#include "files/support/volume_test.h"

namespace vorn::testing {
namespace {

class VFSVolumeTest : public VolumeTest {
 protected:
  static std::string Pattern(size_t length, int seed = 0) {
    std::string bytes(length, '\0');
    for (size_t i = 0; i < length; ++i) bytes[i] = static_cast<char>((i * 7 + static_cast<size_t>(seed)) % 251);
    return bytes;
  }
  static bool WriteItem(VFSVolume& volume, uint32_t idnum, int64_t position, const std::string& bytes) {
    int16_t handle = volume.OpenItem(idnum);
    bool ok = handle >= 0 && volume.Seek(handle, position) &&
              volume.Write(handle, bytes.data(), static_cast<int64_t>(bytes.size()));
    volume.CloseItem(handle);
    return ok;
  }
  // The bytes read, or "<failed:n>" with the count of a failed read.
  static std::string ReadItem(VFSVolume& volume, uint32_t idnum, int64_t position, int64_t count) {
    int16_t handle = volume.OpenItem(idnum);
    if (handle < 0) return "<no item>";
    std::string bytes(static_cast<size_t>(count), '\0');
    int64_t got = count;
    bool ok = volume.Seek(handle, position) && volume.Read(handle, &got, bytes.data());
    volume.CloseItem(handle);
    if (!ok) return "<failed:" + std::to_string(got) + ">";
    return bytes;
  }
  static int64_t FirstBlock(const VFSVolume& volume, uint32_t idnum) {
    int32_t index;
    int64_t offset;
    volume.Map().Find(idnum, 0, 0, &index, &offset);
    return offset;
  }
  // A small closed volume holding item 2 with `size` bytes, in the store.
  static void MakeVolume(FileHandle& store, size_t size) {
    auto volume = VFSVolume::Create(&store, false);
    ASSERT_TRUE(volume->IsOK());
    ASSERT_EQ(volume->NewItem(), 2u);
    ASSERT_TRUE(WriteItem(*volume, 2, 0, Pattern(size)));
  }
  // Opening must fail and leave every byte as it was.
  void ExpectRefused(const std::string& bytes, const char* why) {
    FileHandle store;
    SetBytes(store, bytes);
    {
      VFSVolume volume(&store, false);
      EXPECT_FALSE(volume.IsOK()) << why;
      EXPECT_EQ(volume.NewItem(), 0u) << why;
      EXPECT_EQ(volume.OpenItem(2), -1) << why;
    }
    EXPECT_TRUE(Bytes(store) == bytes) << why << ": the file was changed";
  }
};

TEST_F(VFSVolumeTest, ANewVolumeIsTheHeaderAndOneFortyByteBlock) {
  FileHandle store;
  SetBytes(store, "old contents that must go");
  auto volume = VFSVolume::Create(&store, false);
  ASSERT_TRUE(volume->IsOK());
  std::string bytes = Bytes(store);
  ASSERT_EQ(bytes.size(), 48u);
  EXPECT_EQ(bytes.substr(0, 4), "VFSv");
  EXPECT_EQ(BigLong(bytes, 4), 3u);
  EXPECT_EQ(bytes.substr(8, 4), "BlkS");
  EXPECT_EQ(BigLong(bytes, 12), 1u) << "the metadata item owns the first block";
  EXPECT_EQ(BigLong(bytes, 16), 0u);
  EXPECT_EQ(BigDouble(bytes, 20), 40.0);
  EXPECT_EQ(BigDouble(bytes, 28), 0.0);
  EXPECT_EQ(BigLong(bytes, 36), 2u) << "the next idnum";
  EXPECT_EQ(BigLong(bytes, 40), 0u) << "no stored map yet";
  EXPECT_EQ(bytes.substr(44, 4), "BlkE");

  volume.reset();
  std::string closed = Bytes(store);
  VFSVolume reopened(&store, false);
  EXPECT_TRUE(reopened.IsOK());
  EXPECT_EQ(reopened.Version(), 3);
  EXPECT_EQ(reopened.NewItem(), 2u);
  EXPECT_EQ(closed.find("BMap"), 48u + 28u) << "closing stored a map in the metadata chain's second block";
}

TEST_F(VFSVolumeTest, AnItemGrowsByLinkedBlocksAndReadsBackAcrossThem) {
  FileHandle store;
  auto volume = VFSVolume::Create(&store, false);
  uint32_t idnum = volume->NewItem();
  ASSERT_EQ(idnum, 2u);
  std::string data = Pattern(1000);
  ASSERT_TRUE(WriteItem(*volume, idnum, 0, data));

  std::string bytes = Bytes(store);
  ASSERT_EQ(bytes.size(), 48u + 2 * 1024u);
  EXPECT_EQ(BigLong(bytes, 48 + 4), idnum);
  EXPECT_EQ(BigLong(bytes, 48 + 8), 0u);
  EXPECT_EQ(BigDouble(bytes, 48 + 12), 1024.0);
  EXPECT_EQ(BigDouble(bytes, 48 + 20), 1072.0) << "the first block links to the second";
  EXPECT_EQ(BigLong(bytes, 1072 + 4), idnum);
  EXPECT_EQ(BigLong(bytes, 1072 + 8), 1u) << "second in the chain";
  EXPECT_EQ(BigDouble(bytes, 1072 + 20), 0.0);
  EXPECT_EQ(bytes.substr(48 + 28, 992), data.substr(0, 992)) << "992 data bytes in a 1024-byte block";
  EXPECT_EQ(bytes.substr(1072 + 28, 8), data.substr(992));
  EXPECT_EQ(bytes.substr(1072 + 1020, 4), "BlkE");

  EXPECT_EQ(ReadItem(*volume, idnum, 0, 1000), data);
  EXPECT_EQ(ReadItem(*volume, idnum, 990, 4), data.substr(990, 4)) << "a read across the block boundary";
  EXPECT_EQ(ReadItem(*volume, idnum, 1980, 10), "<failed:4>") << "the chain ends at 1984 bytes";

  int16_t handle = volume->OpenItem(idnum);
  EXPECT_TRUE(volume->Seek(handle, 1984)) << "exactly the end of the last data area";
  EXPECT_FALSE(volume->Seek(handle, 1985));
  EXPECT_EQ(volume->Tell(handle), 1984) << "a failed seek keeps the position";
  EXPECT_TRUE(volume->Seek(handle, 3)) << "back into the first block";
  uint32_t value = 0;
  EXPECT_TRUE(volume->ReadLong(handle, &value));
  EXPECT_EQ(value, (21u << 24) | (28u << 16) | (35u << 8) | 42u) << "typed values are big-endian";
  volume->CloseItem(handle);
}

TEST_F(VFSVolumeTest, FreedBlocksAreReusedWithinTheReusableLengths) {
  FileHandle store;
  auto volume = VFSVolume::Create(&store, false);
  uint32_t first = volume->NewItem();
  uint32_t second = volume->NewItem();
  ASSERT_TRUE(WriteItem(*volume, first, 0, "secret"));
  int64_t freedAt = FirstBlock(*volume, first);

  int16_t handle = volume->OpenItem(first);
  EXPECT_FALSE(volume->FreeItem(first)) << "an open item keeps its blocks";
  volume->CloseItem(handle);
  EXPECT_FALSE(volume->FreeItem(1)) << "the metadata item is never freed";
  EXPECT_FALSE(volume->FreeItem(99)) << "no such item";
  ASSERT_TRUE(volume->FreeItem(first));
  EXPECT_EQ(BigLong(Bytes(store), freedAt + 4), 0u) << "the header tells the block is free";
  EXPECT_EQ(volume->OpenItem(first), -1);

  int32_t length = store.GetLength();
  uint32_t third = volume->NewItem();
  EXPECT_EQ(third, second + 1) << "idnums are never handed out twice";
  EXPECT_EQ(FirstBlock(*volume, third), freedAt);
  EXPECT_EQ(store.GetLength(), length) << "reused, not appended";
  EXPECT_EQ(ReadItem(*volume, third, 0, 6), std::string(6, '\0')) << "a reused block shows nothing of its past";

  ASSERT_TRUE(volume->SetBlockSizes(256, 20000, 16384));
  uint32_t big = volume->NewItem();
  int64_t bigAt = FirstBlock(*volume, big);
  ASSERT_TRUE(volume->FreeItem(big));
  ASSERT_TRUE(volume->SetBlockSizes(256, 1024, 16384));
  uint32_t after = volume->NewItem();
  EXPECT_NE(FirstBlock(*volume, after), bigAt) << "a free block of 20000 bytes is too large to reuse";
  EXPECT_FALSE(volume->SetBlockSizes(400, 1024, 300));
}

TEST_F(VFSVolumeTest, ItemsAndTheMapSurviveClosingAndReopening) {
  FileHandle store;
  std::string data = Pattern(5000, 3);
  int64_t freed = -1;
  {
    auto volume = VFSVolume::Create(&store, false);
    ASSERT_EQ(volume->NewItem(), 2u);
    ASSERT_EQ(volume->NewItem(), 3u);
    ASSERT_TRUE(WriteItem(*volume, 2, 0, data));
    ASSERT_TRUE(WriteItem(*volume, 3, 0, "three"));
    freed = FirstBlock(*volume, 3);
    ASSERT_TRUE(volume->FreeItem(3));
  }
  std::string closed = Bytes(store);
  {
    VFSVolume volume(&store, false);
    ASSERT_TRUE(volume.IsOK());
    EXPECT_EQ(ReadItem(volume, 2, 0, 5000), data);
    EXPECT_EQ(volume.OpenItem(3), -1) << "freed stays freed";
    EXPECT_EQ(volume.Map().GetIdnumAt(static_cast<uint32_t>(freed)), kMetadataIDnum)
        << "storing the map took the freed block";
  }
  EXPECT_TRUE(Bytes(store) == closed) << "opening and closing an unchanged volume writes nothing";

  // Every block the map's own storage took is in the stored map: none is handed out again.
  VFSVolume volume(&store, false);
  for (int i = 0; i < 20; ++i) ASSERT_NE(volume.NewItem(), 0u);
  for (int32_t i = 0; i < volume.Map().Count(); ++i) {
    const BlockMap::Entry& entry = volume.Map().EntryAt(i);
    EXPECT_EQ(BigLong(Bytes(store), entry.offset + 4), entry.idnum) << "the block at " << entry.offset;
  }
}

TEST_F(VFSVolumeTest, VersionOneHeadersKeepTheirDoublesLittleEndian) {
  FileHandle store;
  MakeVolume(store, 1500);
  std::string bytes = Bytes(store);
  // The same volume as an older format writes it.
  bytes.replace(4, 4, BigLongBytes(1));
  for (size_t offset = 8; offset < bytes.size();) {
    double length = BigDouble(bytes, static_cast<int64_t>(offset) + 12);
    for (size_t field : {offset + 12, offset + 20}) {
      std::string swapped = bytes.substr(field, 8);
      bytes.replace(field, 8, std::string(swapped.rbegin(), swapped.rend()));
    }
    offset += static_cast<size_t>(length);
  }
  SetBytes(store, bytes);
  {
    VFSVolume volume(&store, false);
    ASSERT_TRUE(volume.IsOK());
    EXPECT_EQ(volume.Version(), 1);
    EXPECT_EQ(ReadItem(volume, 2, 0, 1500), Pattern(1500));
    int16_t handle = volume.OpenItem(2);
    uint32_t value = 0;
    ASSERT_TRUE(volume.ReadLong(handle, &value));
    EXPECT_EQ(value, 21u << 24 | 14u << 16 | 7u << 8) << "typed values are little-endian before version 3";
    volume.CloseItem(handle);
  }
  bytes.replace(4, 4, BigLongBytes(2));
  ExpectRefused(bytes, "version 2 reads the little-endian doubles as big-endian ones");
}

TEST_F(VFSVolumeTest, FilesThatAreNoVolumeOrAreDamagedAreRefusedUntouched) {
  FileHandle store;
  MakeVolume(store, 2900);
  const std::string good = Bytes(store);
  auto with = [&](int64_t offset, const std::string& patch) {
    std::string bytes = good;
    bytes.replace(static_cast<size_t>(offset), patch.size(), patch);
    return bytes;
  };
  ExpectRefused("", "an empty file");
  ExpectRefused("VFS", "shorter than the header");
  ExpectRefused(with(0, "VFSx"), "another magic");
  ExpectRefused(with(4, BigLongBytes(4)), "a later version");
  ExpectRefused(with(4, BigLongBytes(0)), "version 0");
  ExpectRefused(with(48 + 12, BigDoubleBytes(1024.5)), "a fractional length");
  ExpectRefused(with(48 + 12, BigDoubleBytes(16)), "a block shorter than its header");
  ExpectRefused(with(48 + 12, std::string("\x7F\xF8\0\0\0\0\0\0", 8)), "a length that is not a number");
  ExpectRefused(with(48 + 1020, "BlkX"), "a damaged trailer");
  ExpectRefused(with(48, "BlkX"), "a damaged header");
  ExpectRefused(with(8 + 4, BigLongBytes(7)), "a first block the metadata item does not own");
  ExpectRefused(with(8 + 12, BigDoubleBytes(32)), "a first block too short for the counter");
  ExpectRefused(with(48 + 20, BigDoubleBytes(1e12)), "a link past the end");
  ExpectRefused(with(48 + 20, BigDoubleBytes(8192)), "a link past the end of a whole file");
  ExpectRefused(with(3120 + 1020, "BlkX"), "a damaged trailer on the last block");
}

// A writer stopped while adding a block leaves a file that ends inside it: what lies in the
// whole blocks before stays readable, nothing is written, and the volume says what is wrong.
TEST_F(VFSVolumeTest, AFileEndingInsideABlockOpensReadOnlyWithItsWholeBlocks) {
  FileHandle store;
  MakeVolume(store, 2900);  // item 2 in blocks at 48, 1072, 2096; the map's block after them
  const std::string good = Bytes(store);
  const int64_t last = 3120;
  ASSERT_EQ(good.size(), static_cast<size_t>(last + 1024));
  std::string header = BigLongBytes(kBlockStartMagic) + BigLongBytes(0) + BigLongBytes(0) + BigDoubleBytes(1024) +
                       BigDoubleBytes(0);
  const struct {
    std::string bytes;
    const char* what;
    const char* damage;  // in the description
  } cases[] = {
      {good.substr(0, good.size() - 100), "the last block cut by 100 bytes", "offset 3120 (item 1)"},
      {good.substr(0, static_cast<size_t>(last) + 28), "only the last block's header", "28 of its 1024"},
      {good + header, "a new block's header and nothing more", "offset 4144 (item 0)"},
      {good + header.substr(0, 27), "one byte short of a header", "last 27 bytes"},
      {good + "x", "one byte after the last block", "last 1 bytes"},
  };
  for (const auto& c : cases) {
    SetBytes(store, c.bytes);
    {
      VFSVolume volume(&store, false);
      ASSERT_TRUE(volume.IsOK()) << c.what;
      EXPECT_TRUE(volume.IsReadOnly()) << c.what;
      EXPECT_NE(volume.Damage().find(c.damage), std::string::npos) << c.what << ": " << volume.Damage();
      EXPECT_EQ(ReadItem(volume, 2, 0, 2900), Pattern(2900)) << c.what;
      EXPECT_FALSE(WriteItem(volume, 2, 0, "new")) << c.what;
      EXPECT_EQ(volume.NewItem(), 0u) << c.what;
      EXPECT_FALSE(volume.FreeItem(2)) << c.what;
    }
    EXPECT_TRUE(Bytes(store) == c.bytes) << c.what << ": the file was changed";
  }
  // Cut inside a block of the file's own data, the file's chain ends there.
  SetBytes(store, good.substr(0, 2096 + 500));
  VFSVolume volume(&store, false);
  ASSERT_TRUE(volume.IsOK());
  EXPECT_EQ(ReadItem(volume, 2, 0, 2900).substr(0, 8), "<failed:");
  EXPECT_EQ(ReadItem(volume, 2, 0, 1984), Pattern(1984)) << "the two whole blocks";
  EXPECT_NE(volume.Damage().find("item 2"), std::string::npos);
}

TEST_F(VFSVolumeTest, ADamagedStoredMapIsRebuiltFromTheBlocks) {
  FileHandle store;
  MakeVolume(store, 2900);
  std::string good = Bytes(store);
  size_t map = good.find("BMap");
  ASSERT_NE(map, std::string::npos);
  uint32_t count = BigLong(good, static_cast<int64_t>(map) + 4);

  std::vector<std::pair<int64_t, std::string>> damage = {
      {static_cast<int64_t>(map), "XMap"},
      {static_cast<int64_t>(map) + 4, BigLongBytes(count + 1)},
      {40, BigLongBytes(0xFFFFFFF0)},  // a stored size past the end
      {static_cast<int64_t>(map) + 8, BigLongBytes(999999)},      // an entry past the end
      {static_cast<int64_t>(map) + 8, BigLongBytes(60)},          // an entry inside a block
      {static_cast<int64_t>(map) + 8 + 4, BigLongBytes(77)},      // an owner the block denies
  };
  for (const auto& [offset, patch] : damage) {
    std::string bytes = good;
    bytes.replace(static_cast<size_t>(offset), patch.size(), patch);
    SetBytes(store, bytes);
    {
      VFSVolume volume(&store, false);
      ASSERT_TRUE(volume.IsOK()) << "damage at " << offset;
      EXPECT_EQ(ReadItem(volume, 2, 0, 2900), Pattern(2900)) << "damage at " << offset;
      EXPECT_EQ(volume.Map().Count(), static_cast<int32_t>(count) + 1) << "every block, the first too";
    }
    std::string repaired = Bytes(store);
    { VFSVolume again(&store, false); }
    EXPECT_TRUE(Bytes(store) == repaired) << "the rebuilt map was stored; damage at " << offset;
  }
}

TEST_F(VFSVolumeTest, BrokenChainsEndReadsAndWritesWithoutLoopingOrLeaving) {
  FileHandle store;
  MakeVolume(store, 2900);  // blocks at 48, 1072, 2096 (the map's block lies after them)
  std::string good = Bytes(store);
  ASSERT_EQ(BigDouble(good, 1072 + 20), 2096.0);

  // The last block links back to the first: a circle.
  SetBytes(store, good);
  Patch(store, 2096 + 20, BigDoubleBytes(48));
  {
    VFSVolume volume(&store, false);
    ASSERT_TRUE(volume.IsOK());
    EXPECT_EQ(ReadItem(volume, 2, 0, 5000), "<failed:2976>") << "three blocks, then the circle is refused";
    EXPECT_FALSE(WriteItem(volume, 2, 2976, "more")) << "never appended to a chain that goes on";
    EXPECT_TRUE(volume.FreeItem(2));
  }

  // A link into the middle of a block that holds a header lookalike.
  SetBytes(store, good);
  Patch(store, 48 + 28 + 100, "BlkS" + BigLongBytes(2) + BigLongBytes(1) + BigDoubleBytes(64) + BigDoubleBytes(0));
  Patch(store, 48 + 20, BigDoubleBytes(48 + 28 + 100));
  {
    VFSVolume volume(&store, false);
    ASSERT_TRUE(volume.IsOK());
    EXPECT_EQ(ReadItem(volume, 2, 0, 1000), "<failed:992>") << "only known block starts are followed";
  }

  // A link to another item's block.
  SetBytes(store, good);
  Patch(store, 48 + 20, BigDoubleBytes(8));
  {
    VFSVolume volume(&store, false);
    EXPECT_EQ(ReadItem(volume, 2, 0, 1000), "<failed:992>");
  }
}

TEST_F(VFSVolumeTest, ACounterThatFellBehindNeverRepeatsAnIdnum) {
  FileHandle store;
  MakeVolume(store, 10);
  Patch(store, 36, BigLongBytes(2));
  VFSVolume volume(&store, false);
  EXPECT_EQ(volume.NewItem(), 3u);
  Patch(store, 36, BigLongBytes(0xFFFFFFFF));
  EXPECT_EQ(volume.NewItem(), 0u) << "no idnums left";
}

TEST_F(VFSVolumeTest, ReadWithoutCountOrBufferIsReported) {
  FileHandle store;
  auto volume = VFSVolume::Create(&store, false);
  int16_t handle = volume->OpenItem(1);
  char byte;
  EXPECT_FALSE(volume->Read(handle, nullptr, &byte));
  ASSERT_EQ(Reports().size(), 1u);
  EXPECT_NE(Reports()[0].find("ioBytes and outBuffer"), std::string::npos) << Reports()[0];
  volume->CloseItem(handle);
}

}  // namespace
}  // namespace vorn::testing
