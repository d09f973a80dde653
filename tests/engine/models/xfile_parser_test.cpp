#include "engine/models/xfile_parser.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/models/xfile_writer.h"
#include "platform/little_endian.h"
#include "tests/support/temp_dir.h"

namespace {

using namespace xfile;

std::vector<uint8_t> Bytes(const std::string& s) { return {s.begin(), s.end()}; }

bool Parse(const std::vector<uint8_t>& bytes, XDocument* doc, std::string* error = nullptr) {
    return ParseXFile(bytes.data(), bytes.size(), doc, error);
}

// A hand-written text file as exporters write them: a template declaration,
// both comment styles, sloppy separators, a GUID in an object, names that
// look like numbers, references by name and by GUID, and an unknown object.
const char* const TEXT_FIXTURE = R"(xof 0303txt 0032
# exported by hand
template Vector { <3D82AB5E-62DA-11cf-AB39-0020AF71E433> FLOAT x; FLOAT y; FLOAT z; }
template Custom { <11111111-2222-3333-4444-555555555555> DWORD a; [...] }
// a material to be referenced
Material Red { <AABBCCDD-0011-2233-4455-66778899AABB>
  1.000000;0.000000;0.000000;1.000000;;
  5.0;
  0.0;0.0;0.0;;
  0.0;0.0;0.0;;
  TextureFilename { "C:\\tex\\wood.bmp"; }
}
Custom 01_odd { 7;; -3; 1e-005, "two words"; }
MeshMaterialList list {
  2; 3; 0, 1, 1;;
  { Red }
  { <aabbccdd-0011-2233-4455-66778899aabb> }
  { Missing }
}
)";

TEST(XFileParser, TextFixtureKeepsValuesNamesAndResolvesReferences) {
    XDocument doc;
    std::string error;
    ASSERT_TRUE(Parse(Bytes(TEXT_FIXTURE), &doc, &error)) << error;
    ASSERT_EQ(doc.objects.size(), 3u);  // templates are not data

    const XObject& red = *doc.objects[0];
    EXPECT_EQ(red.templateName, "Material");
    EXPECT_EQ(red.name, "Red");
    EXPECT_EQ(red.guid, "AABBCCDD-0011-2233-4455-66778899AABB");
    ASSERT_EQ(red.values.size(), 11u);
    EXPECT_EQ(red.values[0].kind, XValueKind::Float);
    EXPECT_DOUBLE_EQ(red.values[0].number, 1.0);
    ASSERT_EQ(red.children.size(), 1u);
    ASSERT_FALSE(red.children[0].IsReference());
    ASSERT_EQ(red.children[0].target->values.size(), 1u);
    EXPECT_EQ(red.children[0].target->values[0].text, "C:\\\\tex\\\\wood.bmp");  // strings have no escapes

    const XObject& custom = *doc.objects[1];
    EXPECT_EQ(custom.name, "01_odd");
    ASSERT_EQ(custom.values.size(), 4u);
    EXPECT_EQ(custom.values[0].integer, 7);
    EXPECT_EQ(custom.values[1].integer, -3);
    EXPECT_EQ(custom.values[2].kind, XValueKind::Float);
    EXPECT_FLOAT_EQ(static_cast<float>(custom.values[2].number), 1e-5f);
    EXPECT_EQ(custom.values[3].text, "two words");

    const XObject& list = *doc.objects[2];
    ASSERT_EQ(list.children.size(), 3u);
    EXPECT_TRUE(list.children[0].IsReference());
    EXPECT_EQ(list.children[0].target, &red);
    EXPECT_EQ(list.children[1].target, &red);  // by GUID, letter case ignored
    EXPECT_EQ(list.children[2].target, nullptr);
    EXPECT_EQ(list.children[2].referenceName, "Missing");
}

void ExpectSameTree(const XObject& a, const XObject& b) {
    EXPECT_EQ(a.templateName, b.templateName);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.guid, b.guid);
    ASSERT_EQ(a.values.size(), b.values.size()) << a.templateName;
    for (size_t i = 0; i < a.values.size(); ++i) {
        EXPECT_EQ(a.values[i].kind, b.values[i].kind);
        // Binary integers are double words: a negative text integer comes back as its 32-bit pattern.
        EXPECT_EQ(static_cast<uint32_t>(a.values[i].integer), static_cast<uint32_t>(b.values[i].integer));
        EXPECT_EQ(a.values[i].number, b.values[i].number);
        EXPECT_EQ(a.values[i].text, b.values[i].text);
    }
    ASSERT_EQ(a.children.size(), b.children.size());
    for (size_t i = 0; i < a.children.size(); ++i) {
        EXPECT_EQ(a.children[i].IsReference(), b.children[i].IsReference());
        EXPECT_EQ(a.children[i].target == nullptr, b.children[i].target == nullptr);
        if (a.children[i].object) ExpectSameTree(*a.children[i].object, *b.children[i].object);
    }
}

// The writer's binary and text encodings of a parsed document read back as
// the same tree (values, strings, GUIDs, references and their targets).
TEST(XFileParser, ReEncodedDocumentReadsBackTheSame) {
    XDocument original;
    ASSERT_TRUE(Parse(Bytes(TEXT_FIXTURE), &original));
    struct Case {
        XEncoding encoding;
        bool doubles;
    };
    for (Case c : {Case{XEncoding::Binary, false}, Case{XEncoding::Binary, true}, Case{XEncoding::Text, false}}) {
        XDocument copy;
        std::string error;
        ASSERT_TRUE(Parse(EncodeXDocument(original, c.encoding, c.doubles), &copy, &error)) << error;
        ASSERT_EQ(copy.objects.size(), original.objects.size());
        for (size_t i = 0; i < copy.objects.size(); ++i) ExpectSameTree(*original.objects[i], *copy.objects[i]);
    }
}

// Binary strings end with a separator written as a word by some writers and
// as a double word by others; both read, and the next token is not lost.
TEST(XFileParser, BinaryStringTerminatorAsWordOrDoubleWord) {
    for (int terminatorBytes : {2, 4}) {
        std::vector<uint8_t> b = Bytes("xof 0302bin 0032");
        auto u16 = [&](uint16_t v) { platform::AppendLe16(b, v); };
        auto u32 = [&](uint32_t v) { platform::AppendLe32(b, v); };
        u16(X_TOKEN_NAME), u32(15), b.insert(b.end(), {'T', 'e', 'x', 't', 'u', 'r', 'e', 'F', 'i', 'l', 'e', 'n', 'a', 'm', 'e'});
        u16(X_TOKEN_OBRACE);
        u16(X_TOKEN_STRING), u32(3), b.insert(b.end(), {'a', '.', 'b'});
        terminatorBytes == 2 ? u16(X_TOKEN_SEMICOLON) : u32(X_TOKEN_SEMICOLON);
        u16(X_TOKEN_INTEGER), u32(9);
        u16(X_TOKEN_CBRACE);
        XDocument doc;
        std::string error;
        ASSERT_TRUE(Parse(b, &doc, &error)) << error;
        ASSERT_EQ(doc.objects[0]->values.size(), 2u);
        EXPECT_EQ(doc.objects[0]->values[0].text, "a.b");
        EXPECT_EQ(doc.objects[0]->values[1].integer, 9);
    }
}

std::vector<uint8_t> Nested(int depth) {
    std::string s = "xof 0303txt 0032\n";
    for (int i = 0; i < depth; ++i) s += "Frame {\n";
    for (int i = 0; i < depth; ++i) s += "}\n";
    return Bytes(s);
}

std::vector<uint8_t> BinaryWith(std::initializer_list<uint8_t> body) {
    std::vector<uint8_t> b = Bytes("xof 0302bin 0032");
    b.insert(b.end(), body);
    return b;
}

TEST(XFileParser, DamagedFilesAreRefusedWithAReason) {
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    };
    const Case cases[] = {
        {"empty", {}},
        {"short header", Bytes("xof 0303txt")},
        {"wrong magic", Bytes("xyz 0303txt 0032 Frame {}")},
        {"compressed", Bytes("xof 0303tzip0032 ....")},
        {"unknown encoding", Bytes("xof 0303abc 0032 Frame {}")},
        {"unknown float size", Bytes("xof 0303txt 0016 Frame {}")},
        {"unclosed object", Bytes("xof 0303txt 0032 Frame a { Mesh { 1; }")},
        {"unterminated string", Bytes("xof 0303txt 0032 TextureFilename { \"abc }")},
        {"unclosed template", Bytes("xof 0303txt 0032 template T { <1-2-3-4-5> DWORD a;")},
        {"data outside objects", Bytes("xof 0303txt 0032 1; 2; Frame {}")},
        {"malformed reference", Bytes("xof 0303txt 0032 Frame { { a b c } }")},
        {"object without body", Bytes("xof 0303txt 0032 Frame a b {}")},
        {"too deep", Nested(X_MAX_DEPTH + 1)},
        // NAME "M" { INTEGER_LIST of 1000 with two values present }
        {"list longer than the file", BinaryWith({1, 0, 1, 0, 0, 0, 'M', 10, 0, 6, 0, 0xE8, 3, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 11, 0})},
        {"name longer than the file", BinaryWith({1, 0, 0xFF, 0xFF, 0, 0, 'M'})},
        {"unknown token", BinaryWith({1, 0, 1, 0, 0, 0, 'M', 10, 0, 99, 0, 11, 0})},
        {"truncated token", BinaryWith({1, 0, 1, 0, 0, 0, 'M', 10, 0, 3})},
        {"truncated GUID", BinaryWith({1, 0, 1, 0, 0, 0, 'M', 10, 0, 5, 0, 1, 2, 3})},
    };
    for (const Case& c : cases) {
        XDocument doc;
        std::string error;
        EXPECT_FALSE(Parse(c.bytes, &doc, &error)) << c.name;
        EXPECT_FALSE(error.empty()) << c.name;
        EXPECT_TRUE(doc.objects.empty()) << c.name;
    }
    XDocument doc;
    EXPECT_TRUE(Parse(Nested(X_MAX_DEPTH), &doc)) << "the deepest nesting allowed";
}

TEST(XFileParser, ValueReaderChecksKindsAndRange) {
    XDocument doc;
    ASSERT_TRUE(Parse(Bytes("xof 0303txt 0032 T { 4294967295; -1; 2; 1.5; \"s\"; }"), &doc));
    XValueReader r(*doc.objects[0]);
    uint32_t u = 0;
    float f = 0;
    std::string s;
    EXPECT_TRUE(r.Dword(&u));
    EXPECT_EQ(u, 4294967295u);
    EXPECT_FALSE(r.Dword(&u)) << "a negative count";
    EXPECT_TRUE(r.Float(&f)) << "-1 as a float";
    EXPECT_EQ(f, -1.0f);
    EXPECT_FALSE(r.String(&s));
    float pair[2];
    EXPECT_TRUE(r.Floats(pair, 2)) << "an integer where a float is asked for";
    EXPECT_EQ(pair[1], 1.5f);
    EXPECT_FALSE(r.Dword(&u)) << "a string is no number";
    EXPECT_FALSE(r.Floats(pair, 2)) << "more values than are left";
    EXPECT_EQ(r.Remaining(), 1u);
    EXPECT_TRUE(r.String(&s));
    EXPECT_EQ(s, "s");
    EXPECT_FALSE(r.Float(&f));

    ASSERT_TRUE(Parse(Bytes("xof 0303txt 0032 T { 2.5; \"s\"; }"), &doc));
    XValueReader mixed(*doc.objects[0]);
    pair[0] = 9.0f;
    EXPECT_FALSE(mixed.Floats(pair, 2)) << "a string among the floats";
    EXPECT_EQ(pair[0], 9.0f) << "a failed read stores nothing";
    EXPECT_TRUE(mixed.Float(&f)) << "and takes nothing";
    EXPECT_EQ(f, 2.5f);
}

TEST(XFileParser, ReadsAFileByItsWindowsPath) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.path() / "GF");
    XWriter w(XEncoding::Binary);
    w.BeginObject("Frame", "F");
    w.EndObject();
    ASSERT_TRUE(w.WriteFile(dir.file("GF/Model2.dat")));
    XDocument doc;
    std::string error;
    ASSERT_TRUE(ReadXFile(dir.path().string() + "\\gf\\model2.dat", &doc, &error)) << error;
    ASSERT_EQ(doc.objects.size(), 1u);
    EXPECT_EQ(doc.objects[0]->name, "F");
    EXPECT_FALSE(ReadXFile(dir.file("none.x"), &doc, &error));
    EXPECT_FALSE(error.empty());
}

}  // namespace
