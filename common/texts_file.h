// A language's table as a data file, the form in which a package carries the
// languages the installer stub does not have built in: "texts_<code>.txt"
// ('-' written '_'), UTF-8 (after a byte-order mark when it is not all
// ASCII), one line per text:
//
//   <TextId number>=<text>
//
// with a line end in the text written "\n", a carriage return "\r" and a
// backslash "\\". The numbers are the TextId values, which stay the same
// because new texts are only ever added at the end.
//
// Reading is strict and never fails as a whole: a line that is not of that
// form, names no known text, repeats a number, is not valid UTF-8, holds an
// unknown escape or a text longer than kMaxLoadedTextBytes is passed over.
#pragma once

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#include "common/texts.h"

namespace quill::texts {

inline constexpr std::size_t kMaxLoadedTextBytes = 8192;

// "texts_de.txt" for German; "" for English and an unknown index.
std::string texts_file_name(std::size_t language);

// The file's bytes for `table`: a line for each text it defines (an empty
// one and one of an unknown id are left out), in TextId order.
std::string render_texts_file(const Table& table);

// A table read from a texts file; it owns its texts.
class LoadedTable {
 public:
  LoadedTable() = default;
  LoadedTable(const LoadedTable&) = delete;
  LoadedTable& operator=(const LoadedTable&) = delete;

  // Replaces the content with the texts of the file's bytes; returns how
  // many lines were taken.
  std::size_t parse(std::string_view bytes);
  // Valid until the next parse.
  const Table& table() const { return table_; }

 private:
  std::string storage_;  // the texts, each after the one before and a zero byte
  std::array<Entry, kTextCount> entries_{};
  Table table_{nullptr, 0};
};

}  // namespace quill::texts
