#include "converter/LibraryWriter.h"

#include "fileio/tovFSO.h"

namespace quillmark {
namespace {

class FsoWriter : public TextFileWriter {
 public:
  void PutFile(std::u16string_view fileName, std::u16string_view data) override { fso_.PutFile(fileName, data, true); }
  void PutFileW(std::u16string_view fileName, std::u16string_view data) override {
    fso_.PutFileW(fileName, data, true, true, false);
  }

 private:
  ferrule::tovFSO fso_;
};

}  // namespace

TextFileWriter& libraryWriter() {
  static FsoWriter writer;
  return writer;
}

}  // namespace quillmark
