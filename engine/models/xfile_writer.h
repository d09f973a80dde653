#pragma once
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "engine/models/xfile_format.h"
#include "engine/models/xfile_parser.h"

// Writer of X-format data in either encoding, one call per piece in file
// order, so that the same calls give a text file and its binary twin. It
// writes what it is told, counts included, and checks nothing: model files
// are made with it, and so are the damaged files of the tests.

namespace xfile {

class XWriter {
public:
    // doubles: 64-bit floats ("0064" files).
    explicit XWriter(XEncoding encoding, bool doubles = false);

    // TemplateName [name] { [<guid>] ... } ; guid as FormatGuid spells it.
    void BeginObject(const std::string& templateName, const std::string& name = {}, const std::string& guid = {});
    void EndObject();
    void Dwords(const uint32_t* values, size_t count);
    void Dwords(std::initializer_list<uint32_t> values) { Dwords(values.begin(), values.size()); }
    void Floats(const float* values, size_t count);
    void Floats(std::initializer_list<float> values) { Floats(values.begin(), values.size()); }
    // Floats given in double precision (kept whole only in 64-bit files).
    void Doubles(const double* values, size_t count);
    // Strings must not hold a double quote in the text encoding.
    void String(const std::string& text);
    // { name }, { name <guid> } or { <guid> }
    void Reference(const std::string& name, const std::string& guid = {});

    // The header and everything written so far.
    const std::vector<uint8_t>& Bytes() const { return bytes_; }
    bool WriteFile(const std::string& path) const;

private:
    void Text(const std::string& s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); }
    void Indent() { Text(std::string(static_cast<size_t>(depth_) * 2, ' ')); }
    void Token16(uint16_t code);
    void Word32(uint32_t v);
    void Name(const std::string& name);
    // A GUID spelt as FormatGuid spells it; nothing when empty or malformed.
    void Guid(const std::string& guid);

    XEncoding encoding_;
    bool doubles_;
    int depth_ = 0;
    std::vector<uint8_t> bytes_;
};

// The document re-encoded: each object's values go out in runs of one kind.
std::vector<uint8_t> EncodeXDocument(const XDocument& doc, XEncoding encoding, bool doubles = false);

}  // namespace xfile
