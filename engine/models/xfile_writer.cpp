#include "engine/models/xfile_writer.h"

#include <charconv>
#include <cstdio>
#include <cstring>

#include "platform/little_endian.h"
#include "platform/paths.h"

namespace xfile {
namespace {

// Parses "XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX" into the binary byte order.
bool ParseGuid(const std::string& text, uint8_t out[16]) {
    unsigned d1, d2, d3, b[8];
    if (std::sscanf(text.c_str(), "%8x-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x", &d1, &d2, &d3, &b[0], &b[1], &b[2], &b[3],
                    &b[4], &b[5], &b[6], &b[7]) != 11)
        return false;
    platform::WriteLe32(out, d1);
    platform::WriteLe16(out + 4, static_cast<uint16_t>(d2));
    platform::WriteLe16(out + 6, static_cast<uint16_t>(d3));
    for (int i = 0; i < 8; ++i) out[8 + i] = static_cast<uint8_t>(b[i]);
    return true;
}

// The shortest spelling that reads back to the same value, always with a
// point or an exponent so that it reads back as a float.
template <typename T>
std::string NumberText(T v) {
    char buf[64];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
    std::string s(buf, ec == std::errc() ? end : buf);
    if (s.find_first_of(".eEn") == std::string::npos) s += ".0";
    return s;
}

}  // namespace

XWriter::XWriter(XEncoding encoding, bool doubles) : encoding_(encoding), doubles_(doubles) {
    Text(std::string("xof 0303") + (encoding == XEncoding::Text ? "txt " : "bin ") + (doubles ? "0064" : "0032"));
    if (encoding == XEncoding::Text) Text("\n");
}

void XWriter::Token16(uint16_t code) { platform::AppendLe16(bytes_, code); }

void XWriter::Word32(uint32_t v) { platform::AppendLe32(bytes_, v); }

void XWriter::Name(const std::string& name) {
    Token16(X_TOKEN_NAME);
    Word32(static_cast<uint32_t>(name.size()));
    Text(name);
}

void XWriter::BeginObject(const std::string& templateName, const std::string& name, const std::string& guid) {
    if (encoding_ == XEncoding::Text) {
        Indent();
        Text(templateName + (name.empty() ? "" : " " + name) + " {\n");
        ++depth_;
        if (!guid.empty()) {
            Indent();
            Guid(guid);
            Text("\n");
        }
        return;
    }
    Name(templateName);
    if (!name.empty()) Name(name);
    Token16(X_TOKEN_OBRACE);
    Guid(guid);
}

void XWriter::Guid(const std::string& guid) {
    uint8_t bytes[16];
    if (guid.empty() || !ParseGuid(guid, bytes)) return;
    if (encoding_ == XEncoding::Text) {
        Text("<" + FormatGuid(bytes) + ">");
        return;
    }
    Token16(X_TOKEN_GUID);
    bytes_.insert(bytes_.end(), bytes, bytes + 16);
}

void XWriter::EndObject() {
    if (encoding_ == XEncoding::Text) {
        if (depth_ > 0) --depth_;
        Indent();
        Text("}\n");
    } else {
        Token16(X_TOKEN_CBRACE);
    }
}

void XWriter::Dwords(const uint32_t* values, size_t count) {
    if (encoding_ == XEncoding::Text) {
        Indent();
        for (size_t i = 0; i < count; ++i) Text(std::to_string(values[i]) + (i + 1 < count ? "," : ""));
        Text(";\n");
        return;
    }
    Token16(X_TOKEN_INTEGER_LIST);
    Word32(static_cast<uint32_t>(count));
    for (size_t i = 0; i < count; ++i) Word32(values[i]);
}

void XWriter::Floats(const float* values, size_t count) {
    std::vector<double> wide(values, values + count);
    Doubles(wide.data(), count);
}

void XWriter::Doubles(const double* values, size_t count) {
    if (encoding_ == XEncoding::Text) {
        Indent();
        for (size_t i = 0; i < count; ++i) {
            Text(doubles_ ? NumberText(values[i]) : NumberText(static_cast<float>(values[i])));
            if (i + 1 < count) Text(",");
        }
        Text(";\n");
        return;
    }
    Token16(X_TOKEN_FLOAT_LIST);
    Word32(static_cast<uint32_t>(count));
    for (size_t i = 0; i < count; ++i) {
        uint8_t raw[8];
        if (doubles_) {
            std::memcpy(raw, &values[i], 8);
            bytes_.insert(bytes_.end(), raw, raw + 8);
        } else {
            const float f = static_cast<float>(values[i]);
            std::memcpy(raw, &f, 4);
            bytes_.insert(bytes_.end(), raw, raw + 4);
        }
    }
}

void XWriter::String(const std::string& text) {
    if (encoding_ == XEncoding::Text) {
        Indent();
        Text("\"" + text + "\";\n");
        return;
    }
    Token16(X_TOKEN_STRING);
    Word32(static_cast<uint32_t>(text.size()));
    Text(text);
    Word32(X_TOKEN_SEMICOLON);  // the terminator as a double word
}

void XWriter::Reference(const std::string& name, const std::string& guid) {
    if (encoding_ == XEncoding::Text) {
        Indent();
        Text("{ " + name + (name.empty() ? "" : " "));
        Guid(guid);
        Text(guid.empty() ? "}\n" : " }\n");
        return;
    }
    Token16(X_TOKEN_OBRACE);
    if (!name.empty()) Name(name);
    Guid(guid);
    Token16(X_TOKEN_CBRACE);
}

bool XWriter::WriteFile(const std::string& path) const {
    std::FILE* f = std::fopen(platform::ResolvePath(path).c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(bytes_.data(), 1, bytes_.size(), f) == bytes_.size();
    return std::fclose(f) == 0 && written;
}

namespace {

void EncodeObject(const XObject& o, XWriter& w) {
    w.BeginObject(o.templateName, o.name, o.guid);
    for (size_t i = 0; i < o.values.size();) {
        const XValueKind kind = o.values[i].kind;
        size_t end = i;
        while (end < o.values.size() && o.values[end].kind == kind && kind != XValueKind::String) ++end;
        if (kind == XValueKind::String) {
            w.String(o.values[i].text);
            end = i + 1;
        } else if (kind == XValueKind::Integer) {
            std::vector<uint32_t> run;
            for (size_t k = i; k < end; ++k) run.push_back(static_cast<uint32_t>(o.values[k].integer));
            w.Dwords(run.data(), run.size());
        } else {
            std::vector<double> run;
            for (size_t k = i; k < end; ++k) run.push_back(o.values[k].number);
            w.Doubles(run.data(), run.size());
        }
        i = end;
    }
    for (const XChild& c : o.children) {
        if (c.object) EncodeObject(*c.object, w);
        else w.Reference(c.referenceName, c.referenceGuid);
    }
    w.EndObject();
}

}  // namespace

std::vector<uint8_t> EncodeXDocument(const XDocument& doc, XEncoding encoding, bool doubles) {
    XWriter w(encoding, doubles);
    for (const auto& o : doc.objects) EncodeObject(*o, w);
    return w.Bytes();
}

}  // namespace xfile
