#include "tests/support/FakePlatform.h"

namespace vardak::testing {

std::string fixturePath(std::string_view fixtureName) {
    return std::string(VARDAK_FIXTURES_DIR) + "/" + std::string(fixtureName);
}

void FakePlatform::loadRegistryFixture(std::string_view fixtureName) {
    registryFake.loadRegFile(fixturePath(fixtureName));
}

}  // namespace vardak::testing
