#include "simulator/plist/BinaryPlist.h"

#include <cstring>
#include <string_view>
#include <vector>

#include "simulator/plist/Utf.h"
#include "simulator/plist/XmlPlist.h"

namespace plist {
namespace {

constexpr size_t kTrailerSize = 32;
constexpr char kMagic[] = "bplist00";

uint64_t ReadBE(const uint8_t* p, size_t n) {
  uint64_t v = 0;
  for (size_t i = 0; i < n; ++i) v = (v << 8) | p[i];
  return v;
}

class BinaryReader {
 public:
  BinaryReader(const uint8_t* data, size_t size) : d_(data), size_(size) {}

  std::optional<Value> Document() {
    if (!IsBinaryPlist(d_, size_) || size_ < 8 + kTrailerSize) return Fail("not a binary property list");
    const uint8_t* t = d_ + size_ - kTrailerSize;
    offsetSize_ = t[6];
    refSize_ = t[7];
    count_ = ReadBE(t + 8, 8);
    uint64_t top = ReadBE(t + 16, 8);
    tableOffset_ = ReadBE(t + 24, 8);
    if (offsetSize_ < 1 || offsetSize_ > 8 || refSize_ < 1 || refSize_ > 8) return Fail("bad trailer sizes");
    if (count_ == 0 || top >= count_) return Fail("bad object count");
    const uint64_t tableEnd = size_ - kTrailerSize;
    if (tableOffset_ < 8 || tableOffset_ > tableEnd) return Fail("bad offset table position");
    if (count_ > (tableEnd - tableOffset_) / offsetSize_) return Fail("offset table runs past the trailer");
    return Object(top, 0);
  }

  std::string error;

 private:
  std::nullopt_t Fail(const char* why) {
    if (error.empty()) error = why;
    return std::nullopt;
  }

  std::optional<uint64_t> OffsetOf(uint64_t ref) {
    if (ref >= count_) return std::nullopt;
    uint64_t off = ReadBE(d_ + tableOffset_ + ref * offsetSize_, offsetSize_);
    if (off < 8 || off >= tableOffset_) return std::nullopt;
    return off;
  }

  // Bytes available for an object that starts at `off` (objects live before the offset table).
  uint64_t Room(uint64_t off) const { return tableOffset_ - off; }

  // Reads the element count of a container-like marker at `off`; `pos` moves past it.
  bool Count(uint64_t off, uint64_t& pos, uint64_t& count) {
    uint8_t nib = d_[off] & 0x0F;
    pos = off + 1;
    if (nib != 0x0F) {
      count = nib;
      return true;
    }
    if (Room(pos) < 1) return false;
    uint8_t m = d_[pos];
    if ((m & 0xF0) != 0x10 || (m & 0x0F) > 3) return false;
    size_t n = size_t(1) << (m & 0x0F);
    if (Room(pos + 1) < n) return false;
    count = ReadBE(d_ + pos + 1, n);
    pos += 1 + n;
    return true;
  }

  bool Charge(uint64_t bytes) {
    if (++nodes_ > kMaxBinaryNodes) return false;
    if (bytes > kMaxBinaryPayloadBytes - payload_) return false;
    payload_ += bytes;
    return true;
  }

  std::optional<Value> Object(uint64_t ref, int depth) {
    if (depth > kMaxDepth) return Fail("nesting too deep");
    auto offOpt = OffsetOf(ref);
    if (!offOpt) return Fail("bad object reference");
    uint64_t off = *offOpt;
    uint8_t marker = d_[off];
    uint8_t type = marker & 0xF0, nib = marker & 0x0F;
    if (!Charge(0)) return Fail("document expands too far");
    switch (type) {
      case 0x00:
        if (marker == 0x08) return Value(false);
        if (marker == 0x09) return Value(true);
        return Fail("unsupported simple object");
      case 0x10: {
        if (nib > 4) return Fail("bad integer size");
        size_t n = size_t(1) << nib;
        if (Room(off + 1) < n) return Fail("integer runs past its room");
        if (n == 16) return Value(Integer{static_cast<int64_t>(ReadBE(d_ + off + 9, 8))});
        uint64_t raw = ReadBE(d_ + off + 1, n);
        return Value(Integer{static_cast<int64_t>(raw)});  // 1, 2, 4 bytes unsigned; 8 bytes signed
      }
      case 0x20: {
        if (nib != 2 && nib != 3) return Fail("bad real size");
        size_t n = size_t(1) << nib;
        if (Room(off + 1) < n) return Fail("real runs past its room");
        uint64_t raw = ReadBE(d_ + off + 1, n);
        if (n == 4) {
          uint32_t r32 = static_cast<uint32_t>(raw);
          float f;
          std::memcpy(&f, &r32, 4);
          return Value(Real{f});
        }
        double dv;
        std::memcpy(&dv, &raw, 8);
        return Value(Real{dv});
      }
      case 0x30: {
        if (marker != 0x33 || Room(off + 1) < 8) return Fail("bad date");
        uint64_t raw = ReadBE(d_ + off + 1, 8);
        double dv;
        std::memcpy(&dv, &raw, 8);
        return Value(Date{dv});
      }
      case 0x40:
      case 0x50:
      case 0x60: {
        uint64_t pos, count;
        if (!Count(off, pos, count)) return Fail("bad length");
        uint64_t bytes = type == 0x60 ? count * 2 : count;
        if (count > Room(pos) || bytes > Room(pos)) return Fail("object runs past its room");
        if (!Charge(bytes)) return Fail("document expands too far");
        const uint8_t* p = d_ + pos;
        if (type == 0x40) return Value(Bytes(p, p + count));
        if (type == 0x50) {
          std::string s;
          for (uint64_t i = 0; i < count; ++i) AppendUtf8(s, p[i]);  // 8-bit text read as Latin-1
          return Value(std::move(s));
        }
        std::u16string u(count, u'\0');
        for (uint64_t i = 0; i < count; ++i) u[i] = static_cast<char16_t>(ReadBE(p + 2 * i, 2));
        return Value(Utf16ToUtf8(u));
      }
      case 0x80: {
        size_t n = nib + 1;
        if (n > 8 || Room(off + 1) < n) return Fail("bad uid");
        return Value(Uid{ReadBE(d_ + off + 1, n)});
      }
      case 0xA0:
      case 0xC0:
      case 0xD0: {
        uint64_t pos, count;
        if (!Count(off, pos, count)) return Fail("bad length");
        uint64_t refs = type == 0xD0 ? 2 : 1;
        if (count > Room(pos) / refSize_ / refs) return Fail("container runs past its room");
        if (!Charge(count * refs * refSize_)) return Fail("document expands too far");
        for (uint64_t r : stack_) {
          if (r == ref) return Fail("object contains itself");
        }
        stack_.push_back(ref);
        std::optional<Value> result;
        if (type == 0xD0) {
          Dictionary dict;
          dict.reserve(count);
          for (uint64_t i = 0; i < count; ++i) {
            auto k = Object(ReadBE(d_ + pos + i * refSize_, refSize_), depth + 1);
            if (!k) return std::nullopt;
            auto* ks = k->As<std::string>();
            if (!ks) return Fail("dictionary key is not a string");
            auto v = Object(ReadBE(d_ + pos + (count + i) * refSize_, refSize_), depth + 1);
            if (!v) return std::nullopt;
            dict.emplace_back(std::move(*ks), std::move(*v));
          }
          result = Value(std::move(dict));
        } else {
          Array arr;
          arr.reserve(count);
          for (uint64_t i = 0; i < count; ++i) {
            auto v = Object(ReadBE(d_ + pos + i * refSize_, refSize_), depth + 1);
            if (!v) return std::nullopt;
            arr.push_back(std::move(*v));
          }
          result = Value(std::move(arr));
        }
        stack_.pop_back();
        return result;
      }
      default:
        return Fail("unknown object type");
    }
  }

  const uint8_t* d_;
  size_t size_;
  size_t offsetSize_ = 0, refSize_ = 0;
  uint64_t count_ = 0, tableOffset_ = 0;
  size_t nodes_ = 0;
  uint64_t payload_ = 0;
  std::vector<uint64_t> stack_;
};

// ---- writer --------------------------------------------------------------------------------------------------

class BinaryWriter {
 public:
  Bytes Write(const Value& root) {
    Flatten(root);
    size_t refSize = BytesFor(objects_.size());
    out_.assign(kMagic, kMagic + 8);
    std::vector<uint64_t> offsets;
    offsets.reserve(objects_.size());
    for (const auto& obj : objects_) {
      offsets.push_back(out_.size());
      Emit(obj, refSize);
    }
    uint64_t tableOffset = out_.size();
    size_t offsetSize = BytesFor(tableOffset);
    for (uint64_t o : offsets) PutBE(o, offsetSize);
    uint8_t trailer[kTrailerSize] = {};
    trailer[6] = static_cast<uint8_t>(offsetSize);
    trailer[7] = static_cast<uint8_t>(refSize);
    for (int i = 0; i < 8; ++i) {
      trailer[8 + i] = static_cast<uint8_t>(uint64_t(objects_.size()) >> (56 - 8 * i));
      trailer[24 + i] = static_cast<uint8_t>(tableOffset >> (56 - 8 * i));
    }
    out_.insert(out_.end(), trailer, trailer + kTrailerSize);
    return std::move(out_);
  }

 private:
  struct Obj {
    const Value* value = nullptr;
    const std::string* key = nullptr;  // a dictionary key
    std::vector<size_t> refs;          // children (dictionaries: keys, then values)
  };

  static size_t BytesFor(uint64_t v) {
    if (v <= 0xFF) return 1;
    if (v <= 0xFFFF) return 2;
    if (v <= 0xFFFFFFFFull) return 4;
    return 8;
  }

  void PutBE(uint64_t v, size_t n) {
    for (size_t i = 0; i < n; ++i) out_.push_back(static_cast<uint8_t>(v >> (8 * (n - 1 - i))));
  }

  size_t Flatten(const Value& v) {
    size_t index = objects_.size();
    objects_.push_back(Obj{&v, nullptr, {}});
    if (auto* a = v.As<Array>()) {
      std::vector<size_t> refs;
      for (const auto& e : *a) refs.push_back(Flatten(e));
      objects_[index].refs = std::move(refs);
    } else if (auto* d = v.As<Dictionary>()) {
      std::vector<size_t> keys, values;
      for (const auto& [k, val] : *d) {
        keys.push_back(objects_.size());
        objects_.push_back(Obj{nullptr, &k, {}});
        values.push_back(Flatten(val));
      }
      keys.insert(keys.end(), values.begin(), values.end());
      objects_[index].refs = std::move(keys);
    }
    return index;
  }

  void Marker(uint8_t type, uint64_t count) {
    if (count < 15) {
      out_.push_back(static_cast<uint8_t>(type | count));
      return;
    }
    out_.push_back(static_cast<uint8_t>(type | 0x0F));
    size_t n = BytesFor(count);
    out_.push_back(static_cast<uint8_t>(0x10 | (n == 1 ? 0 : n == 2 ? 1 : n == 4 ? 2 : 3)));
    PutBE(count, n);
  }

  void EmitString(const std::string& s) {
    bool ascii = true;
    for (unsigned char c : s) ascii = ascii && c < 0x80;
    if (ascii) {
      Marker(0x50, s.size());
      out_.insert(out_.end(), s.begin(), s.end());
      return;
    }
    std::u16string u = Utf8ToUtf16(s);
    Marker(0x60, u.size());
    for (char16_t c : u) PutBE(c, 2);
  }

  void Emit(const Obj& obj, size_t refSize) {
    if (obj.key) {
      EmitString(*obj.key);
      return;
    }
    const Value& v = *obj.value;
    if (auto* s = v.As<std::string>()) {
      EmitString(*s);
    } else if (auto* i = v.As<Integer>()) {
      if (i->value < 0) {
        out_.push_back(0x13);
        PutBE(static_cast<uint64_t>(i->value), 8);
      } else {
        size_t n = BytesFor(static_cast<uint64_t>(i->value));
        out_.push_back(static_cast<uint8_t>(0x10 | (n == 1 ? 0 : n == 2 ? 1 : n == 4 ? 2 : 3)));
        PutBE(static_cast<uint64_t>(i->value), n);
      }
    } else if (auto* r = v.As<Real>()) {
      uint64_t raw;
      std::memcpy(&raw, &r->value, 8);
      out_.push_back(0x23);
      PutBE(raw, 8);
    } else if (auto* b = v.As<bool>()) {
      out_.push_back(*b ? 0x09 : 0x08);
    } else if (auto* d = v.As<Bytes>()) {
      Marker(0x40, d->size());
      out_.insert(out_.end(), d->begin(), d->end());
    } else if (auto* dt = v.As<Date>()) {
      uint64_t raw;
      std::memcpy(&raw, &dt->seconds, 8);
      out_.push_back(0x33);
      PutBE(raw, 8);
    } else if (auto* u = v.As<Uid>()) {
      size_t n = BytesFor(u->value);
      out_.push_back(static_cast<uint8_t>(0x80 | (n - 1)));
      PutBE(u->value, n);
    } else if (v.Is<Array>()) {
      Marker(0xA0, obj.refs.size());
      for (size_t r : obj.refs) PutBE(r, refSize);
    } else if (v.Is<Dictionary>()) {
      Marker(0xD0, obj.refs.size() / 2);
      for (size_t r : obj.refs) PutBE(r, refSize);
    }
  }

  std::vector<Obj> objects_;
  Bytes out_;
};

}  // namespace

bool IsBinaryPlist(const uint8_t* data, size_t size) {
  return data && size >= 8 && std::memcmp(data, kMagic, 8) == 0;
}

std::optional<Value> ParseBinary(const uint8_t* data, size_t size, std::string* error) {
  BinaryReader r(data, size);
  auto v = r.Document();
  if (!v && error) *error = r.error;
  return v;
}

Bytes WriteBinary(const Value& value) { return BinaryWriter().Write(value); }

std::optional<Value> ParseAny(const uint8_t* data, size_t size, std::string* error) {
  if (IsBinaryPlist(data, size)) return ParseBinary(data, size, error);
  return ParseXml(std::string_view(reinterpret_cast<const char*>(data), size), error);
}

}  // namespace plist
