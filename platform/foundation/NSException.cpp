#include "NSException.h"

#include <utility>

namespace velquor::platform {

NSException::NSException(std::string name, std::string reason) : name_(std::move(name)), reason_(std::move(reason)) {}
NSException::~NSException() = default;

NSException NSException::exceptionWithName(std::string name, std::string reason) {
  return NSException(std::move(name), std::move(reason));
}

}  // namespace velquor::platform
