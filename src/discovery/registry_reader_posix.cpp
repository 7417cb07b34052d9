// Linux has no registry: every key is missing, so the registry search finds
// nothing and the runtime comes from JRE Path or the launcher's folder.
#include "discovery/registry_reader.h"

namespace tarn {

namespace {

class NoRegistry : public RegistryReader {
 public:
  std::vector<std::wstring> subkeyNames(const std::wstring&) override { return {}; }
  bool readValue(const std::wstring&, const std::wstring&, std::vector<uint8_t>&) override { return false; }
};

}  // namespace

std::unique_ptr<RegistryReader> machineRegistry(bool) { return std::make_unique<NoRegistry>(); }
std::unique_ptr<RegistryReader> userRegistry() { return std::make_unique<NoRegistry>(); }

}  // namespace tarn
