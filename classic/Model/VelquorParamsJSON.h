#pragma once

#include <VelquorClassic/VelquorClassicExport.h>
#include <VelquorClassic/VelquorParams.h>
#include <velquor/platform/NSData.h>
#include <velquor/platform/NSError.h>
#include <velquor/platform/NSStringEncoding.h>

#include <memory>
#include <optional>
#include <string>

// The parameters' JSON interface, exported under these plain names.
//
// `error` is the address of the caller's error variable, or null for a caller that wants no error.
// Judge a call by its result: nil (an empty pointer or optional) means failure, and then the
// variable holds why: the JSON facility's own error for data that is not JSON (NSCocoaErrorDomain,
// 3840), or the domain "JSONSerialization", code -1, with the caught NSException under the single
// user-info key "exception" (nil input, a top-level value that is not an object, a value JSON
// cannot hold). A successful call leaves the variable as it was.
//
// The functions have C linkage for their names only; their types are C++, so C++ callers alone can
// use them.
#if defined(__clang__)
#pragma clang diagnostic push
#pragma clang diagnostic ignored "-Wreturn-type-c-linkage"
#endif
extern "C" {

// A new object from JSON data in UTF-8, UTF-16 or UTF-32: keys of the key table set their fields,
// others are ignored, null leaves a field nil.
VELQUORCLASSIC_EXPORT std::shared_ptr<VelquorClassic::VelquorParams> VelquorParamsFromData(
    const std::optional<velquor::platform::NSData>& data, std::shared_ptr<velquor::platform::NSError>* error);

// The same from a text: first turned into bytes in `encoding` (nil when it cannot be held there).
VELQUORCLASSIC_EXPORT std::shared_ptr<VelquorClassic::VelquorParams> VelquorParamsFromJSON(
    const std::optional<std::string>& text, velquor::platform::NSStringEncoding encoding,
    std::shared_ptr<velquor::platform::NSError>* error);

// The JSON dictionary of `params` as compact UTF-8 JSON data.
VELQUORCLASSIC_EXPORT std::optional<velquor::platform::NSData> VelquorParamsToData(
    const std::shared_ptr<const VelquorClassic::VelquorParams>& params, std::shared_ptr<velquor::platform::NSError>* error);

// The text that the bytes of VelquorParamsToData make in `encoding`; nil, with the error variable
// untouched, when they are not valid there. NSUTF8StringEncoding gives the JSON text itself.
VELQUORCLASSIC_EXPORT std::optional<std::string> VelquorParamsToJSON(
    const std::shared_ptr<const VelquorClassic::VelquorParams>& params, velquor::platform::NSStringEncoding encoding,
    std::shared_ptr<velquor::platform::NSError>* error);

}  // extern "C"
#if defined(__clang__)
#pragma clang diagnostic pop
#endif
