#include "engine/models/xfile_parser.h"
#include "platform/little_endian.h"
#include "platform/safe_file.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <map>

#include "engine/models/xfile_format.h"
#include "platform/paths.h"

namespace xfile {
namespace {

// ---- Tokens ----------------------------------------------------------------
// Both encodings come out as one stream of these; separators, brackets and the
// type keywords of template declarations never reach the parser.

enum class TokenType { End, Name, String, Integer, Float, Guid, OpenBrace, CloseBrace, Template, Error };

struct Token {
    TokenType type = TokenType::End;
    std::string text;  // names, strings, GUIDs, the error reason; a text number's spelling
    int64_t integer = 0;
    double number = 0.0;
};

class Lexer {
public:
    virtual ~Lexer() = default;
    virtual Token Next() = 0;
};

Token ErrorToken(const char* reason) {
    Token t;
    t.type = TokenType::Error;
    t.text = reason;
    return t;
}

// ---- Text encoding -----------------------------------------------------------

// NUL counts as a delimiter (strchr finds the terminator), so a NUL byte in
// text is refused as an unexpected character.
bool IsDelimiter(char c) {
    return std::strchr(" \t\r\n\f\v{},;\"<>[]()", c) != nullptr;
}

class TextLexer : public Lexer {
public:
    // Numbers of 32-bit files are rounded to float, as the binary encoding stores them.
    TextLexer(const char* begin, const char* end, bool doubles) : p_(begin), end_(end), doubles_(doubles) {}

    Token Next() override {
        SkipBlanks();
        if (p_ >= end_) return Token{};
        const char c = *p_;
        if (c == '{' || c == '}') {
            ++p_;
            Token t;
            t.type = c == '{' ? TokenType::OpenBrace : TokenType::CloseBrace;
            return t;
        }
        if (c == '"') return QuotedString();
        if (c == '<') return Guid();
        return Word();
    }

private:
    void SkipBlanks() {
        while (p_ < end_) {
            const char c = *p_;
            if (c == '#' || (c == '/' && p_ + 1 < end_ && p_[1] == '/')) {
                while (p_ < end_ && *p_ != '\n') ++p_;
            } else if (std::strchr(" \t\r\n\f\v,;[]()", c) && c != '\0') {
                ++p_;
            } else {
                return;
            }
        }
    }

    Token QuotedString() {
        const char* start = ++p_;
        while (p_ < end_ && *p_ != '"') ++p_;
        if (p_ >= end_) return ErrorToken("unterminated string");
        Token t;
        t.type = TokenType::String;
        t.text.assign(start, p_);
        ++p_;
        return t;
    }

    Token Guid() {
        const char* start = ++p_;
        while (p_ < end_ && *p_ != '>') ++p_;
        if (p_ >= end_) return ErrorToken("unterminated GUID");
        Token t;
        t.type = TokenType::Guid;
        t.text = NormalizeGuid(std::string(start, p_));
        ++p_;
        return t;
    }

    // A run of non-delimiter characters: a number when it reads whole as one,
    // else a name.
    Token Word() {
        const char* start = p_;
        while (p_ < end_ && !IsDelimiter(*p_)) ++p_;
        if (p_ == start) return ErrorToken("unexpected character");
        Token t;
        t.text.assign(start, p_);
        if (t.text == "template") {
            t.type = TokenType::Template;
            return t;
        }
        const char* from = start + (*start == '+' ? 1 : 0);
        auto [intEnd, intError] = std::from_chars(from, p_, t.integer);
        if (intError == std::errc() && intEnd == p_) {
            t.type = TokenType::Integer;
            return t;
        }
        t.integer = 0;  // from_chars may have stored a prefix's value
        auto [floatEnd, floatError] = std::from_chars(from, p_, t.number);
        if (floatError == std::errc() && floatEnd == p_) {
            t.type = TokenType::Float;
            if (!doubles_) t.number = static_cast<float>(t.number);
            return t;
        }
        t.number = 0.0;
        t.type = TokenType::Name;
        return t;
    }

    const char* p_;
    const char* end_;
    bool doubles_;
};

// ---- Binary encoding ---------------------------------------------------------

class BinaryLexer : public Lexer {
public:
    BinaryLexer(const uint8_t* begin, const uint8_t* end, bool doubles)
        : p_(begin), end_(end), floatSize_(doubles ? 8 : 4) {}

    Token Next() override {
        if (listLeft_ > 0) return ListValue();
        for (;;) {
            if (p_ == end_) return Token{};
            uint16_t code = 0;
            if (!Read16(&code)) return ErrorToken("truncated token");
            switch (code) {
            case X_TOKEN_NAME:
            case X_TOKEN_STRING: return Text(code);
            case X_TOKEN_INTEGER: {
                uint32_t v = 0;
                if (!Read32(&v)) return ErrorToken("truncated integer");
                Token t;
                t.type = TokenType::Integer;
                t.integer = v;
                return t;
            }
            case X_TOKEN_GUID: {
                if (end_ - p_ < 16) return ErrorToken("truncated GUID");
                Token t;
                t.type = TokenType::Guid;
                t.text = FormatGuid(p_);
                p_ += 16;
                return t;
            }
            case X_TOKEN_INTEGER_LIST:
            case X_TOKEN_FLOAT_LIST: {
                uint32_t count = 0;
                if (!Read32(&count)) return ErrorToken("truncated list");
                listIsFloat_ = code == X_TOKEN_FLOAT_LIST;
                const size_t itemSize = listIsFloat_ ? floatSize_ : 4;
                if (count > static_cast<size_t>(end_ - p_) / itemSize) return ErrorToken("list longer than the file");
                listLeft_ = count;
                if (count > 0) return ListValue();
                continue;
            }
            case X_TOKEN_OBRACE:
            case X_TOKEN_CBRACE: {
                Token t;
                t.type = code == X_TOKEN_OBRACE ? TokenType::OpenBrace : TokenType::CloseBrace;
                return t;
            }
            case X_TOKEN_TEMPLATE: {
                Token t;
                t.type = TokenType::Template;
                return t;
            }
            default:
                // Brackets, separators and the type keywords of templates.
                if ((code >= X_TOKEN_OPAREN && code <= X_TOKEN_SEMICOLON) ||
                    (code >= X_TOKEN_FIRST_KEYWORD && code <= X_TOKEN_LAST_KEYWORD))
                    continue;
                return ErrorToken("unknown binary token");
            }
        }
    }

private:
    bool Read16(uint16_t* v) {
        if (end_ - p_ < 2) return false;
        *v = platform::ReadLe16(p_);
        p_ += 2;
        return true;
    }

    bool Read32(uint32_t* v) {
        if (end_ - p_ < 4) return false;
        *v = platform::ReadLe32(p_);
        p_ += 4;
        return true;
    }

    Token Text(uint16_t code) {
        uint32_t length = 0;
        if (!Read32(&length) || length > static_cast<size_t>(end_ - p_)) return ErrorToken("truncated name or string");
        Token t;
        t.type = code == X_TOKEN_NAME ? TokenType::Name : TokenType::String;
        t.text.assign(reinterpret_cast<const char*>(p_), length);
        p_ += length;
        if (code == X_TOKEN_STRING) SkipStringTerminator();
        return t;
    }

    // A string ends with a separator token, written by some as a word and by
    // others as a double word (whose upper half reads as token 0).
    void SkipStringTerminator() {
        uint16_t code = 0;
        const uint8_t* save = p_;
        if (!Read16(&code) || (code != X_TOKEN_COMMA && code != X_TOKEN_SEMICOLON)) {
            p_ = save;
            return;
        }
        save = p_;
        if (!Read16(&code) || code != 0) p_ = save;
    }

    Token ListValue() {
        --listLeft_;
        Token t;
        if (!listIsFloat_) {
            uint32_t v = 0;
            Read32(&v);
            t.type = TokenType::Integer;
            t.integer = v;
            return t;
        }
        t.type = TokenType::Float;
        if (floatSize_ == 8) {
            double d;
            std::memcpy(&d, p_, 8);
            t.number = d;
        } else {
            float f;
            std::memcpy(&f, p_, 4);
            t.number = f;
        }
        p_ += floatSize_;
        return t;
    }

    const uint8_t* p_;
    const uint8_t* end_;
    size_t floatSize_;
    size_t listLeft_ = 0;
    bool listIsFloat_ = false;
};

// ---- Objects -------------------------------------------------------------------

class Parser {
public:
    explicit Parser(Lexer& lexer) : lexer_(lexer) { Advance(); }

    bool ParseDocument(XDocument* out) {
        while (token_.type != TokenType::End) {
            if (token_.type == TokenType::Template) {
                if (!SkipTemplate()) return false;
            } else if (token_.type == TokenType::Name) {
                auto object = std::make_unique<XObject>();
                if (!ParseObject(object.get(), 1)) return false;
                out->objects.push_back(std::move(object));
            } else {
                return Fail("data outside any object");
            }
        }
        return true;
    }

    const std::string& Error() const { return error_; }

private:
    void Advance() { token_ = lexer_.Next(); }

    bool Fail(const std::string& reason) {
        if (error_.empty()) error_ = token_.type == TokenType::Error ? token_.text : reason;
        return false;
    }

    // A word that can stand as a name: a name, or in text a word spelt as a number.
    bool IsNameToken() const {
        return token_.type == TokenType::Name ||
               ((token_.type == TokenType::Integer || token_.type == TokenType::Float) && !token_.text.empty());
    }

    // template Name { ... }: skipped to its matching brace.
    bool SkipTemplate() {
        Advance();
        if (IsNameToken()) Advance();
        if (token_.type != TokenType::OpenBrace) return Fail("template without a body");
        int depth = 0;
        do {
            if (token_.type == TokenType::OpenBrace) ++depth;
            else if (token_.type == TokenType::CloseBrace) --depth;
            else if (token_.type == TokenType::End || token_.type == TokenType::Error) return Fail("unclosed template");
            Advance();
        } while (depth > 0);
        return true;
    }

    // TemplateName [name] { [GUID] values and children }, the template name
    // being the current token.
    bool ParseObject(XObject* object, int depth) {
        if (depth > X_MAX_DEPTH) return Fail("objects nested too deeply");
        object->templateName = token_.text;
        Advance();
        if (IsNameToken()) {
            object->name = token_.text;
            Advance();
        }
        if (token_.type != TokenType::OpenBrace) return Fail("object without a body");
        Advance();
        if (token_.type == TokenType::Guid) {
            object->guid = token_.text;
            Advance();
        }
        for (;;) {
            switch (token_.type) {
            case TokenType::Integer:
            case TokenType::Float:
            case TokenType::String: {
                XValue v;
                v.kind = token_.type == TokenType::Integer ? XValueKind::Integer
                         : token_.type == TokenType::Float ? XValueKind::Float
                                                           : XValueKind::String;
                v.integer = token_.integer;
                v.number = token_.number;
                if (v.kind == XValueKind::String) v.text = std::move(token_.text);
                object->values.push_back(std::move(v));
                Advance();
                break;
            }
            case TokenType::Name: {
                XChild child;
                child.object = std::make_unique<XObject>();
                if (!ParseObject(child.object.get(), depth + 1)) return false;
                child.target = child.object.get();
                object->children.push_back(std::move(child));
                break;
            }
            case TokenType::OpenBrace:
                if (!ParseReference(object)) return false;
                break;
            case TokenType::CloseBrace: Advance(); return true;
            case TokenType::Guid: Advance(); break;
            default: return Fail("unclosed object");
            }
        }
    }

    // { name }, { name GUID } or { GUID }, the opening brace being current.
    bool ParseReference(XObject* object) {
        XChild child;
        Advance();
        if (IsNameToken()) {
            child.referenceName = token_.text;
            Advance();
        }
        if (token_.type == TokenType::Guid) {
            child.referenceGuid = token_.text;
            Advance();
        }
        if (token_.type != TokenType::CloseBrace) return Fail("malformed reference");
        Advance();
        object->children.push_back(std::move(child));
        return true;
    }

    Lexer& lexer_;
    Token token_;
    std::string error_;
};

// ---- References ----------------------------------------------------------------

class Resolver {
public:
    explicit Resolver(XDocument& doc) {
        for (auto& o : doc.objects) Index(*o);
        for (auto& o : doc.objects) Resolve(*o);
    }

private:
    void Index(const XObject& o) {
        if (!o.name.empty()) byName_.emplace(o.name, &o);
        if (!o.guid.empty()) byGuid_.emplace(o.guid, &o);
        for (const XChild& c : o.children)
            if (c.object) Index(*c.object);
    }

    void Resolve(XObject& o) {
        for (XChild& c : o.children) {
            if (c.object) {
                Resolve(*c.object);
                continue;
            }
            const auto& table = c.referenceName.empty() ? byGuid_ : byName_;
            auto it = table.find(c.referenceName.empty() ? c.referenceGuid : c.referenceName);
            c.target = it == table.end() ? nullptr : it->second;
        }
    }

    // emplace keeps the first object of each name, in document order.
    std::map<std::string, const XObject*> byName_;
    std::map<std::string, const XObject*> byGuid_;
};

bool Refuse(std::string* error, const std::string& reason) {
    if (error) *error = reason;
    return false;
}

}  // namespace

bool ParseXFile(const uint8_t* data, size_t size, XDocument* out, std::string* error) {
    out->objects.clear();
    XHeader header;
    std::string reason;
    if (!ReadXHeader(data, size, &header, &reason)) return Refuse(error, reason);
    if (header.compressed) return Refuse(error, "compressed X data is not supported");
    std::unique_ptr<Lexer> lexer;
    if (header.binary)
        lexer = std::make_unique<BinaryLexer>(data + X_HEADER_SIZE, data + size, header.doubles);
    else
        lexer = std::make_unique<TextLexer>(reinterpret_cast<const char*>(data) + X_HEADER_SIZE,
                                            reinterpret_cast<const char*>(data) + size, header.doubles);
    Parser parser(*lexer);
    XDocument doc;
    if (!parser.ParseDocument(&doc)) return Refuse(error, parser.Error());
    Resolver resolve(doc);
    *out = std::move(doc);
    return true;
}

bool ReadXFile(const std::string& path, XDocument* out, std::string* error, int* openError) {
    out->objects.clear();
    std::FILE* f = platform::OpenRegularFile(platform::ResolvePath(path)).release();
    if (openError) *openError = f ? 0 : errno;
    if (!f) return Refuse(error, "cannot open " + path);
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    const bool readError = std::ferror(f) != 0;
    std::fclose(f);
    if (readError) return Refuse(error, "cannot read " + path);
    return ParseXFile(bytes.data(), bytes.size(), out, error);
}

// ---- Value reader ----------------------------------------------------------------

bool XValueReader::Dword(uint32_t* out) {
    if (next_ >= values_.size()) return false;
    const XValue& v = values_[next_];
    if (v.kind != XValueKind::Integer || v.integer < 0 || v.integer > 0xFFFFFFFFll) return false;
    *out = static_cast<uint32_t>(v.integer);
    ++next_;
    return true;
}

bool XValueReader::Float(float* out) {
    if (next_ >= values_.size()) return false;
    const XValue& v = values_[next_];
    if (v.kind == XValueKind::String) return false;
    *out = v.kind == XValueKind::Float ? static_cast<float>(v.number) : static_cast<float>(v.integer);
    ++next_;
    return true;
}

bool XValueReader::Floats(float* out, size_t count) {
    if (count > Remaining()) return false;
    for (size_t i = 0; i < count; ++i)
        if (values_[next_ + i].kind == XValueKind::String) return false;
    for (size_t i = 0; i < count; ++i) Float(&out[i]);
    return true;
}

bool XValueReader::String(std::string* out) {
    if (next_ >= values_.size() || values_[next_].kind != XValueKind::String) return false;
    *out = values_[next_++].text;
    return true;
}

}  // namespace xfile
