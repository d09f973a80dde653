#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Reader of X-format model data ("xof " files, text and binary encodings).
// The result is a plain tree of data objects: each names its template, may
// carry its own name, holds its member values in file order (nested structures
// such as vectors and faces are flattened into one list) and its children in
// file order: data objects of its own or references to named objects
// elsewhere in the file. Template declarations are skipped, so every data
// object is kept whatever its template; readers pick the templates they know
// by name and ignore the rest.

namespace xfile {

enum class XValueKind : uint8_t { Integer, Float, String };

struct XValue {
    XValueKind kind = XValueKind::Integer;
    int64_t integer = 0;  // Integer: the value as written (text may be negative)
    double number = 0.0;  // Float
    std::string text;     // String (bytes as stored, CP932 in the game's files)
};

struct XObject;

// One child of a data object, in file order.
struct XChild {
    std::unique_ptr<XObject> object;  // a data object of its own; null for a reference
    std::string referenceName;        // a reference: the name it gives (may be empty)
    std::string referenceGuid;        // and the GUID it gives (may be empty)
    // The object this child stands for: `object` itself, or the resolved
    // target of a reference (null when nothing in the file has that name).
    const XObject* target = nullptr;

    bool IsReference() const { return object == nullptr; }
};

struct XObject {
    std::string templateName;
    std::string name;
    std::string guid;  // the object's own GUID when the file gives one
    std::vector<XValue> values;
    std::vector<XChild> children;
};

struct XDocument {
    std::vector<std::unique_ptr<XObject>> objects;  // top-level data objects
};

// Nested data objects deeper than this are refused (the file is taken as damaged).
inline constexpr int X_MAX_DEPTH = 128;

// Parses a whole file image. On failure returns false with a reason in
// *error (when given) and leaves *out empty. References are resolved by name
// (or, for a reference that gives only a GUID, by GUID) to the first data
// object of the file in document order that carries it.
bool ParseXFile(const uint8_t* data, size_t size, XDocument* out, std::string* error);

// Reads and parses a file named by a Windows path relative to the current
// folder (backslashes, letter case ignored where the exact name is missing).
// When the file cannot be opened, *openError (when given) receives the errno
// of the open; it is 0 when the file opened.
bool ReadXFile(const std::string& path, XDocument* out, std::string* error, int* openError = nullptr);

// Reads an object's values in order. Each read fails (false, nothing stored)
// at the end of the values or on a value of the wrong kind; an integer is
// accepted where a float is asked for, never the other way round.
class XValueReader {
public:
    explicit XValueReader(const XObject& object) : values_(object.values) {}

    bool Dword(uint32_t* out);
    bool Float(float* out);
    bool Floats(float* out, size_t count);
    bool String(std::string* out);
    // Values not read yet: a count read from the file is checked against it
    // before anything is allocated for it.
    size_t Remaining() const { return values_.size() - next_; }

private:
    const std::vector<XValue>& values_;
    size_t next_ = 0;
};

}  // namespace xfile
