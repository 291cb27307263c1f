// Any bytes as one line of a code page 936 CSV file: decoding never reads out of bounds, and
// what decodes re-encodes to the same bytes and splits into fields that join back to the line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "records/gbk_text_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace brenlow;
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string utf8;
  size_t badOffset = 0;
  if (!DecodeGbk(bytes, utf8, badOffset)) {
    if (badOffset >= size)
      abort();
    return 0;
  }
  std::string again;
  int gb18030 = 0;
  if (!EncodeGbk(utf8, again, gb18030))
    abort();
  std::string decodedAgain;
  if (!DecodeGbk(again, decodedAgain, badOffset) || decodedAgain != utf8)
    abort();

  std::string joined;
  for (const std::string& field : SplitCsvFields(utf8))
    joined += field + ",";
  joined.pop_back();  // a line always has at least one field
  if (joined != utf8)
    abort();
  return 0;
}
