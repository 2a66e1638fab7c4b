#include "VelquorParams.h"

#include "VelquorParamsFields.h"

namespace VelquorKit {

using velquor::platform::Decoder;
using velquor::platform::Encoder;

VelquorParams::VelquorParams() = default;

VelquorParams::VelquorParams(Required arguments) {
  for (const auto& field : kVelquorParamsFields) {
    if (field.argument) this->*field.required = std::move(arguments.*field.argument).take();
  }
}

// Field order; the first faulty key ends the reading.
VelquorParams::VelquorParams(const Decoder& decoder) {
  const auto container = decoder.container();
  for (const auto& field : kVelquorParamsFields) {
    if (field.required) this->*field.required = container.decodeString(field.key);
    else this->*field.optional = container.decodeStringIfPresent(field.key);
  }
}

void VelquorParams::encode(Encoder& encoder) const {
  auto container = encoder.container();
  for (const auto& field : kVelquorParamsFields) {
    if (field.required) container.encodeString(this->*field.required, field.key);
    else container.encodeStringIfPresent(this->*field.optional, field.key);
  }
}

void to_json(nlohmann::json& document, const VelquorParams& params) {
  document = nlohmann::json::object();
  Encoder encoder(document);
  params.encode(encoder);
}

void from_json(const nlohmann::json& document, VelquorParams& params) { params = VelquorParams(Decoder(document)); }

}  // namespace VelquorKit
