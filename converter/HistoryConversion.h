#pragma once
// The conversion of one history log into one text file.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "support/ErrorRecord.h"

namespace quillmark {

class CLocalization;

enum class OutputEncoding : std::int16_t { Ansi = 0, Oem = 1, Utf8 = 2, Unicode = 3 };
enum class ParagraphType : std::int16_t { CrLf = 0, Cr = 1, Lf = 2 };

// Where the finished text goes: the library's whole-file writers, which
// raise tov::RuntimeError when the file cannot be written.
class TextFileWriter {
 public:
  virtual ~TextFileWriter() = default;
  virtual void PutFile(std::u16string_view fileName, std::u16string_view data) = 0;
  virtual void PutFileW(std::u16string_view fileName, std::u16string_view data) = 0;
};

// How the conversion tells the user what went wrong.
class ConversionReporter {
 public:
  virtual ~ConversionReporter() = default;
  // A plain error box (style 16) with the program's title.
  virtual void showError(const std::u16string& text) = 0;
  // The error report of the application services: the message, then the
  // error's number and description.
  virtual void reportError(const tov::ErrorRecord& error, const std::u16string& text) = 0;
};

// How the long steps of a conversion run (reading the log, building and
// encoding the text): given a step, runs it and returns when it is done,
// throwing what it threw. The window runs them so it stays painted
// (ui::runBusy); by default they simply run. A step touches neither the
// user interface nor the writer.
using LongStepRunner = std::function<void(const std::function<void()>&)>;

class HistoryConversion {
 public:
  HistoryConversion(const CLocalization& localization, TextFileWriter& writer, ConversionReporter& reporter,
                    LongStepRunner runLongStep = {})
      : localization_(localization), writer_(writer), reporter_(reporter), runLongStep_(std::move(runLongStep)) {}

  // True when the text file was written; every failure has been reported
  // to the user when it returns false.
  bool ConvertHistory(std::u16string_view inFileName, std::u16string_view outFileName, std::int32_t encoding,
                      std::int32_t paragraphType);

 private:
  template <typename Step>
  bool attempt(Step&& step, const std::u16string& message);
  void runLong(const std::function<void()>& step) const;

  const CLocalization& localization_;
  TextFileWriter& writer_;
  ConversionReporter& reporter_;
  LongStepRunner runLongStep_;
};

// The line break a paragraph type stands for.
std::string_view paragraphBreak(std::int32_t paragraphType);

// True when both names lead to the same existing file.
bool sameFile(std::u16string_view a, std::u16string_view b);

}  // namespace quillmark
