#include "standin/core/compiled_resources.h"

#include <string>

#include "standin/text/utf8.h"

namespace standin {

namespace {

// DS_SETFONT: the template carries a point size and a typeface.
constexpr uint32_t kSetFontStyle = 0x40;

// Little-endian reading within [at, end), with 16- and 32-bit alignment
// relative to the start of the block, as the formats require.
class ByteReader {
 public:
  ByteReader(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

  bool ok() const { return ok_; }
  std::size_t offset() const { return at_; }

  uint16_t Word() {
    if (!Has(2)) return 0;
    const uint16_t value = static_cast<uint16_t>(data_[at_] | (data_[at_ + 1] << 8));
    at_ += 2;
    return value;
  }
  uint32_t Dword() {
    const uint32_t low = Word();
    return low | (static_cast<uint32_t>(Word()) << 16);
  }
  int16_t Short() { return static_cast<int16_t>(Word()); }

  // A zero-terminated UTF-16 text, as UTF-8.
  std::string Text() {
    std::string text;
    while (ok_) {
      uint32_t unit = Word();
      if (unit == 0) break;
      if (unit >= 0xD800 && unit < 0xDC00) {
        const uint32_t low = Word();
        unit = 0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00);
      }
      AppendUtf8(text, unit);
    }
    return text;
  }

  // A name or number: 0xFFFF followed by a number, or a text. Sets *number
  // (0 for a text) and returns the text (empty for a number).
  std::string NameOrNumber(uint16_t* number) {
    if (Has(2) && data_[at_] == 0xFF && data_[at_ + 1] == 0xFF) {
      Word();
      *number = Word();
      return "";
    }
    *number = 0;
    return Text();
  }

  void Align(std::size_t boundary) {
    while (at_ % boundary != 0 && at_ < size_) ++at_;
  }
  void Skip(std::size_t count) {
    if (Has(count)) at_ += count;
  }

 private:
  bool Has(std::size_t count) {
    if (!ok_ || size_ - at_ < count) ok_ = false;
    return ok_;
  }

  const uint8_t* data_;
  std::size_t size_;
  std::size_t at_ = 0;
  bool ok_ = true;
};

DialogRect ReadRect(ByteReader& reader) {
  DialogRect rect;
  rect.x = reader.Short();
  rect.y = reader.Short();
  rect.width = reader.Short();
  rect.height = reader.Short();
  return rect;
}

}  // namespace

std::optional<std::vector<uint8_t>> FindCompiledResource(const uint8_t* res, std::size_t size, uint16_t type,
                                                         uint16_t id) {
  // Each entry: data size, header size, type, name (each a name or number),
  // filler to 4 bytes, data version, memory flags, language, version,
  // characteristics; then the data and filler to 4 bytes.
  std::size_t at = 0;
  while (size - at >= 8) {
    ByteReader header(res + at, size - at);
    const uint32_t dataSize = header.Dword();
    const uint32_t headerSize = header.Dword();
    uint16_t entryType = 0;
    uint16_t entryID = 0;
    const std::string typeName = header.NameOrNumber(&entryType);
    const std::string name = header.NameOrNumber(&entryID);
    if (!header.ok() || headerSize < header.offset() || headerSize > size - at ||
        dataSize > size - at - headerSize) {
      return std::nullopt;
    }
    if (typeName.empty() && name.empty() && entryType == type && entryID == id) {
      const uint8_t* data = res + at + headerSize;
      return std::vector<uint8_t>(data, data + dataSize);
    }
    at += headerSize + dataSize;
    at += (4 - at % 4) % 4;
    if (at > size) return std::nullopt;
  }
  return std::nullopt;
}

std::optional<DialogTemplate> ReadDialogTemplate(const std::vector<uint8_t>& bytes, int32_t id) {
  ByteReader reader(bytes.data(), bytes.size());
  DialogTemplate dialog;
  dialog.id = id;
  dialog.style = reader.Dword();
  reader.Dword();  // extended style
  const uint16_t count = reader.Word();
  dialog.rect = ReadRect(reader);
  uint16_t number = 0;
  reader.NameOrNumber(&number);  // menu
  reader.NameOrNumber(&number);  // window class
  dialog.caption = reader.Text();
  if ((dialog.style & kSetFontStyle) != 0) {
    dialog.fontSize = reader.Word();
    dialog.fontName = reader.Text();
  }
  for (uint16_t i = 0; i < count && reader.ok(); ++i) {
    reader.Align(4);
    DialogItemTemplate item;
    item.style = reader.Dword();
    reader.Dword();  // extended style
    item.rect = ReadRect(reader);
    item.id = reader.Word();
    uint16_t atom = 0;
    const std::string className = reader.NameOrNumber(&atom);
    item.classAtom = atom;
    item.className = atom == kClassAtomButton ? "Button" : atom == kClassAtomStatic ? "Static" : className;
    uint16_t textNumber = 0;
    item.text = reader.NameOrNumber(&textNumber);
    reader.Skip(reader.Word());  // creation data
    dialog.items.push_back(std::move(item));
  }
  if (!reader.ok()) return std::nullopt;
  return dialog;
}

}  // namespace standin
