#pragma once

#include "CheckoutLibraryNames.h"
#include "DelegateCall.h"

#include <velquor/platform/UIViewController.h>

#include <nlohmann/json.hpp>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velquor::adapter {

// One of the two libraries, driven as an app drives it: its parameters type with its own JSON
// coding, its launcher, its delegate. Every delegate call is recorded in `calls`, then handed to
// `onCall`.
class CheckoutLibrary {
 public:
  virtual ~CheckoutLibrary() = default;
  CheckoutLibrary(const CheckoutLibrary&) = delete;
  CheckoutLibrary& operator=(const CheckoutLibrary&) = delete;

  // Decodes a parameters document with the library's own decoding; the next launches use it.
  // Throws ParamsError.
  virtual void loadParams(std::string_view document) = 0;
  // The loaded parameters as the library encodes them. Throws ParamsError.
  virtual std::string encodedParams() const = 0;
  // Parameters with nothing set, as the library encodes them: where a document built field by
  // field starts, so that it decodes (VelquorKit's record has no absent required field).
  virtual nlohmann::json blankParams() const = 0;

  // Presents the checkout over `screen` through the library's launcher. No endpoint: the launcher
  // form that selects the default one (VelquorClassic's without one, VelquorKit's with the empty
  // text). With trusted origins, the launcher that takes options. Throws std::invalid_argument,
  // before anything is presented, for a trusted origin the library refuses.
  virtual void launch(const std::shared_ptr<platform::UIViewController>& screen,
                      const std::optional<std::string>& endpoint) = 0;
  // The delegate of the last launch, as long as anything keeps it alive: VelquorKit's checkout
  // holds its own; VelquorClassic's holds it weakly, so this object keeps it until the next launch.
  virtual std::weak_ptr<const void> delegate() const = 0;

  // Opt-ins for the next launch: a delegate that is also the library's failure delegate, and
  // trusted origins for the launcher.
  bool reportFailures = false;
  std::vector<std::string> trustedOrigins;

  std::vector<DelegateCall> calls;
  std::function<void(const DelegateCall&)> onCall;

 protected:
  CheckoutLibrary() = default;

  // What a delegate calls: it reaches this object only while the object exists.
  using Sink = std::function<void(DelegateCall)>;
  Sink delegateSink() const;

 private:
  void record(DelegateCall call);

  std::shared_ptr<Sink> sink_ = std::make_shared<Sink>([this](DelegateCall call) { record(std::move(call)); });
};

std::unique_ptr<CheckoutLibrary> makeCheckoutLibrary(Library library);
// Each in its library's own unit.
std::unique_ptr<CheckoutLibrary> makeKitCheckoutLibrary();
std::unique_ptr<CheckoutLibrary> makeClassicCheckoutLibrary();

}  // namespace velquor::adapter
