#include "Bundle.h"

#include <vector>

namespace velquor::platform {

namespace {
std::vector<std::shared_ptr<Bundle>>& allBundles() {
  static std::vector<std::shared_ptr<Bundle>> bundles;
  return bundles;
}
}  // namespace

Bundle::Bundle(std::string bundleIdentifier) : bundleIdentifier_(std::move(bundleIdentifier)) {}
Bundle::~Bundle() = default;

void Bundle::addBundle(const std::shared_ptr<Bundle>& bundle) {
  if (!bundle) return;
  for (const auto& known : allBundles()) {
    if (known == bundle) return;
  }
  allBundles().push_back(bundle);
}

std::shared_ptr<Bundle> Bundle::bundleForClass(std::type_index type) {
  for (const auto& bundle : allBundles()) {
    for (const auto& [name, registered] : bundle->classes_) {
      if (registered.type == type) return bundle;
    }
  }
  return nullptr;
}

std::shared_ptr<Bundle> Bundle::bundleWithIdentifier(const std::string& bundleIdentifier) {
  for (const auto& bundle : allBundles()) {
    if (bundle->bundleIdentifier_ == bundleIdentifier) return bundle;
  }
  return nullptr;
}

void Bundle::registerClass(const std::string& className, std::type_index type, ClassFactory factory) {
  classes_.insert_or_assign(className, RegisteredClass{type, std::move(factory)});
}

std::shared_ptr<NSObject> Bundle::instantiateClass(const std::string& className) const {
  auto it = classes_.find(className);
  if (it == classes_.end() || !it->second.factory) return nullptr;
  return it->second.factory();
}

void Bundle::setResource(const std::string& name, std::any resource) {
  resources_.insert_or_assign(name, std::move(resource));
}

void Bundle::removeResource(const std::string& name) { resources_.erase(name); }

}  // namespace velquor::platform
