#pragma once

#include <velquor/platform/NSObject.h>
#include <velquor/platform/UIStoryboard.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <typeindex>

namespace velquor::platform {

class UIViewController;

// A library's own bundle: its compiled-in resources (storyboards) and its class registry, through
// which storyboards instantiate controllers by class name ("VelquorKit.VelquorViewController").
class VELQUOR_PLATFORM_EXPORT Bundle : public NSObject {
 public:
  using ClassFactory = std::function<std::shared_ptr<UIViewController>()>;

  explicit Bundle(std::string bundleIdentifier);
  ~Bundle() override;

  // The bundle that registered `type`; null for a class no bundle registered.
  static std::shared_ptr<Bundle> bundleForClass(std::type_index type);
  static std::shared_ptr<Bundle> bundleWithIdentifier(const std::string& bundleIdentifier);

  const std::string& bundleIdentifier() const { return bundleIdentifier_; }

  // Makes this bundle known process-wide, as the bundle of every class it registers.
  static void addBundle(const std::shared_ptr<Bundle>& bundle);
  void registerClass(const std::string& className, std::type_index type, ClassFactory factory);
  std::shared_ptr<UIViewController> instantiateClass(const std::string& className) const;

  // Storyboard resources; replacing or removing one is how a test changes what a launcher finds.
  void setStoryboardResource(const std::string& name, StoryboardResource resource);
  void removeStoryboardResource(const std::string& name);
  std::optional<StoryboardResource> storyboardResource(const std::string& name) const;

 private:
  struct RegisteredClass {
    std::type_index type;
    ClassFactory factory;
  };
  std::string bundleIdentifier_;
  std::map<std::string, RegisteredClass> classes_;
  std::map<std::string, StoryboardResource> storyboards_;
};

}  // namespace velquor::platform
