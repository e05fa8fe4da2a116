#pragma once

// Which code page a table's text is really in, when its header names none
// and it is read as 1252. DOS tables of dBase III and FoxPro leave the
// language byte at 0 and hold code page 850 or 437: their accented letters
// stand between plain letters where 1252 has punctuation or nothing
// ("g\x81ell" is "güell" in 850, "g?ell" in 1252).

#include <string_view>

namespace tables {

class SharedFile;

class CodePageEvidence {
 public:
  // Weighs the stored bytes of one text value.
  void Add(std::string_view text);
  // 0 while the text reads as 1252 (or is plain ASCII); otherwise the code
  // page it plainly is in: 850 or 437 for DOS text, 65001 for UTF-8.
  int Likely() const;

 private:
  void AddUtf8(std::string_view text);

  int windows_letters_ = 0;  // letters of 1252 between letters
  int dos_letters_ = 0;      // letters of 850/437 between letters
  int only_850_ = 0;         // letters of 850 that 437 draws as lines
  int only_437_ = 0;         // line drawings of 437 that 850 spells as letters
  int utf8_sequences_ = 0;
  bool utf8_broken_ = false;
};

// The evidence of every text column of every record that is not deleted,
// for a file whose header names no code page; 0 for any other.
int LikelyCodePageOf(const SharedFile& file);

}  // namespace tables
