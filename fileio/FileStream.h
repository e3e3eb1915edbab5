#pragma once
// One stream of a file as a backup walk reports it: its kind, attributes,
// size and name, copied from the record's header. The stream's data is never
// read.
#include <cstdint>
#include <span>
#include <string>

namespace ferrule {

class FileStream {
 public:
  // The record header's fixed part, as the walk reads it.
  static constexpr std::size_t kHeaderSize = 20;

  // Fills the stream from the header and the name read after it (`nameBytes`
  // UTF-16 little endian; an odd last byte is not part of any character).
  // A nameless main data stream is called "::$DATA", as Windows names it.
  static FileStream fromHeader(std::span<const std::uint8_t, kHeaderSize> header,
                               std::span<const std::uint8_t> nameBytes);

  std::int32_t StreamID() const { return streamId_; }
  std::int32_t Attributes() const { return attributes_; }
  double Size() const { return size_; }
  const std::u16string& Name() const { return name_; }
  // The bare stream name: ":Zone.Identifier:$DATA" gives "Zone.Identifier",
  // "::$DATA" gives "", a name without ":" is returned as it is.
  std::u16string ShortName() const;

  bool StreamIDInvalid() const { return streamId_ == 0; }
  bool StreamIDData() const { return streamId_ == 1; }
  bool StreamIDEAData() const { return streamId_ == 2; }
  bool StreamIDSecurityData() const { return streamId_ == 3; }
  bool StreamIDAlternateData() const { return streamId_ == 4; }
  bool StreamIDLink() const { return streamId_ == 5; }
  bool StreamIDPropertyData() const { return streamId_ == 6; }
  bool StreamIDObjectID() const { return streamId_ == 7; }
  bool StreamIDReparseData() const { return streamId_ == 8; }
  bool StreamIDSparseBlock() const { return streamId_ == 9; }

  bool AttributeModifiedWhenRead() const { return attributes_ & 0x1; }
  bool AttributeContainsSecurity() const { return attributes_ & 0x2; }
  bool AttributeContainsProperties() const { return attributes_ & 0x4; }
  bool AttributeSparseAttribute() const { return attributes_ & 0x8; }

 private:
  std::int32_t streamId_ = 0;
  std::int32_t attributes_ = 0;
  double size_ = 0;
  std::u16string name_;
};

}  // namespace ferrule
