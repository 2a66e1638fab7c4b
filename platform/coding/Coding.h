#pragma once

#include <velquor/platform/JSONReading.h>
#include <velquor/platform/VelquorPlatformExport.h>

#include <nlohmann/json.hpp>

#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Keyed coding of records to and from JSON documents: a decoder or encoder stands at one place of a
// document and knows the path to it, so every error names the key and the path where it happened.

namespace velquor::platform {

using CodingPath = std::vector<std::string>;

// The path as a JSON pointer: {"payment", "udf5"} -> "/payment/udf5"; the root is "".
VELQUOR_PLATFORM_EXPORT std::string codingPathString(const CodingPath& path);

class VELQUOR_PLATFORM_EXPORT DecodingError : public std::exception {
 public:
  enum class Kind {
    typeMismatch,   // a value of another type than the one asked for
    valueNotFound,  // null where a value is required
    keyNotFound,    // a required key is missing
    dataCorrupted,  // not JSON, or not a keyed object where one is needed
  };

  DecodingError(Kind kind, CodingPath codingPath, std::string debugDescription);
  ~DecodingError() override;

  Kind kind() const noexcept { return kind_; }
  // The path to the faulty value; for a key error it ends with the key.
  const CodingPath& codingPath() const noexcept { return codingPath_; }
  // The key concerned (the path's last element), empty for an error about the document itself.
  std::string key() const;
  const std::string& debugDescription() const noexcept { return debugDescription_; }
  // "keyNotFound /payment/udf5: No value associated with key \"udf5\"."
  const char* what() const noexcept override { return what_.c_str(); }

  static const char* kindName(Kind kind) noexcept;

 private:
  Kind kind_;
  CodingPath codingPath_;
  std::string debugDescription_;
  std::string what_;
};

class VELQUOR_PLATFORM_EXPORT EncodingError : public std::exception {
 public:
  enum class Kind { invalidValue };

  EncodingError(Kind kind, CodingPath codingPath, std::string debugDescription);
  ~EncodingError() override;

  Kind kind() const noexcept { return kind_; }
  const CodingPath& codingPath() const noexcept { return codingPath_; }
  const std::string& debugDescription() const noexcept { return debugDescription_; }
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  Kind kind_;
  CodingPath codingPath_;
  std::string debugDescription_;
  std::string what_;
};

class Decoder;
class Encoder;

// The members of a JSON object, read by key.
class VELQUOR_PLATFORM_EXPORT KeyedDecodingContainer {
 public:
  KeyedDecodingContainer(const nlohmann::json& object, CodingPath codingPath);

  const CodingPath& codingPath() const noexcept { return codingPath_; }
  bool contains(std::string_view key) const;

  // The text under `key`: keyNotFound when missing, valueNotFound for null, typeMismatch otherwise.
  std::string decodeString(std::string_view key) const;
  // Absent when missing or null; the text when a text; typeMismatch for anything else.
  std::optional<std::string> decodeStringIfPresent(std::string_view key) const;
  // A decoder for the value under `key` (keyNotFound when missing), for a record nested there.
  Decoder superDecoder(std::string_view key) const;

 private:
  const nlohmann::json* member(std::string_view key) const;
  CodingPath pathTo(std::string_view key) const;

  const nlohmann::json& object_;
  CodingPath codingPath_;
};

// One place of a document being read. It refers to the document, which must outlive it.
class VELQUOR_PLATFORM_EXPORT Decoder {
 public:
  explicit Decoder(const nlohmann::json& value, CodingPath codingPath = {});

  const CodingPath& codingPath() const noexcept { return codingPath_; }
  const nlohmann::json& value() const noexcept { return value_; }
  // dataCorrupted unless the value here is a JSON object.
  KeyedDecodingContainer container() const;

 private:
  const nlohmann::json& value_;
  CodingPath codingPath_;
};

// The members of a JSON object being written: into a document, or straight out as JSON text.
class VELQUOR_PLATFORM_EXPORT KeyedEncodingContainer {
 public:
  KeyedEncodingContainer(nlohmann::json& object, CodingPath codingPath);
  // Writes "{" to `text` now, each member as it is encoded, and "}" when the container goes away.
  KeyedEncodingContainer(std::string& text, CodingPath codingPath);
  KeyedEncodingContainer(KeyedEncodingContainer&& other) noexcept;
  KeyedEncodingContainer(const KeyedEncodingContainer&) = delete;
  KeyedEncodingContainer& operator=(const KeyedEncodingContainer&) = delete;
  KeyedEncodingContainer& operator=(KeyedEncodingContainer&&) = delete;
  ~KeyedEncodingContainer();

  const CodingPath& codingPath() const noexcept { return codingPath_; }
  // Throws EncodingError (invalidValue) for text that is not UTF-8, naming the key.
  void encodeString(std::string_view value, std::string_view key);
  // Writes nothing at all (no key, no null) for an absent value.
  void encodeStringIfPresent(const std::optional<std::string>& value, std::string_view key);
  Encoder superEncoder(std::string_view key);

 private:
  void writeKey(std::string_view key);

  nlohmann::json* object_ = nullptr;
  std::string* text_ = nullptr;
  bool empty_ = true;
  CodingPath codingPath_;
};

// One place of a document being written.
class VELQUOR_PLATFORM_EXPORT Encoder {
 public:
  explicit Encoder(nlohmann::json& value, CodingPath codingPath = {});
  // Writes JSON text to `text`: one keyed container, written as its members are encoded.
  explicit Encoder(std::string& text, CodingPath codingPath = {});

  const CodingPath& codingPath() const noexcept { return codingPath_; }
  // Makes the value here a JSON object (keeping members already written) and returns its container.
  // A text encoder gives one container only (std::logic_error for a second).
  KeyedEncodingContainer container();

 private:
  nlohmann::json* value_ = nullptr;
  std::string* text_ = nullptr;
  CodingPath codingPath_;
};

// Reads a record from a JSON text: T(const Decoder&). A text that is not JSON is dataCorrupted.
class JSONDecoder {
 public:
  template <class T>
  T decode(std::string_view data) const {
    const nlohmann::json document = parse(data);
    return T(Decoder(document));
  }

  VELQUOR_PLATFORM_EXPORT static nlohmann::json parse(std::string_view data);
};

// Writes a record as a compact JSON text, keys in the order the record encodes them:
// value.encode(Encoder&). A text that is not UTF-8 is an invalidValue error naming its key.
class JSONEncoder {
 public:
  template <class T>
  std::string encode(const T& value) const {
    std::string text;
    Encoder encoder(text);
    value.encode(encoder);
    if (text.empty()) text = "{}";
    return text;
  }

  // A document as JSON text; -1: compact, otherwise indented by that many spaces.
  VELQUOR_PLATFORM_EXPORT static std::string write(const nlohmann::json& document, int indent = -1);
};

}  // namespace velquor::platform
