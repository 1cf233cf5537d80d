#include "backend.h"

namespace {
std::unique_ptr<Backend>& Current() {
  static std::unique_ptr<Backend> backend;
  return backend;
}
}  // namespace

Backend* CurrentBackend() { return Current().get(); }

void SetBackend(std::unique_ptr<Backend> backend) { Current() = std::move(backend); }
