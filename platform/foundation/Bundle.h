#pragma once

#include <velquor/platform/NSObject.h>

#include <any>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <typeindex>

namespace velquor::platform {

// A library's own bundle: its compiled-in resources (storyboards, say) and its class registry,
// through which resources instantiate objects by class name ("VelquorKit.VelquorViewController").
// It knows neither kind: a resource is stored as the value it was given, read back as that type.
class VELQUOR_PLATFORM_EXPORT Bundle : public NSObject {
 public:
  using ClassFactory = std::function<std::shared_ptr<NSObject>()>;

  explicit Bundle(std::string bundleIdentifier);
  ~Bundle() override;

  // The bundle that registered `type`; null for a class no bundle registered.
  static std::shared_ptr<Bundle> bundleForClass(std::type_index type);
  static std::shared_ptr<Bundle> bundleWithIdentifier(const std::string& bundleIdentifier);

  const std::string& bundleIdentifier() const { return bundleIdentifier_; }

  // Makes this bundle known process-wide, as the bundle of every class it registers.
  static void addBundle(const std::shared_ptr<Bundle>& bundle);
  void registerClass(const std::string& className, std::type_index type, ClassFactory factory);
  std::shared_ptr<NSObject> instantiateClass(const std::string& className) const;

  // Replacing or removing a resource is how a test changes what a launcher finds.
  void setResource(const std::string& name, std::any resource);
  void removeResource(const std::string& name);
  // The resource `name` when it is a Resource; none when missing or of another type.
  template <class Resource>
  std::optional<Resource> resource(const std::string& name) const {
    const auto it = resources_.find(name);
    if (it == resources_.end()) return std::nullopt;
    if (const auto* value = std::any_cast<Resource>(&it->second)) return *value;
    return std::nullopt;
  }

 private:
  struct RegisteredClass {
    std::type_index type;
    ClassFactory factory;
  };
  std::string bundleIdentifier_;
  std::map<std::string, RegisteredClass> classes_;
  std::map<std::string, std::any, std::less<>> resources_;
};

}  // namespace velquor::platform
