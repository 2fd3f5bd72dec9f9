#include "tests/support/FakeAutomation.h"

#include "tests/support/AsciiCase.h"

namespace vardak::testing {
namespace {

class FakeAutomationObject : public platform::AutomationObject {
public:
    FakeAutomationObject(const std::map<std::string, std::string>& properties, int& liveObjects)
        : properties_(properties), liveObjects_(liveObjects) {
        ++liveObjects_;
    }
    ~FakeAutomationObject() override { --liveObjects_; }

    std::optional<std::string> propertyText(const std::string& name) override {
        const auto found = properties_.find(name);
        if (found == properties_.end()) {
            return std::nullopt;
        }
        return found->second;
    }

private:
    const std::map<std::string, std::string>& properties_;
    int& liveObjects_;
};

}  // namespace

bool FakeAutomation::begin() {
    ++openSessions;
    return true;
}

void FakeAutomation::end() {
    --openSessions;
}

std::unique_ptr<platform::AutomationObject> FakeAutomation::object(const std::string& programId) {
    requests.push_back(programId);
    if (openSessions <= 0) {
        requestsOutsideSession.push_back(programId);
    }
    const auto found = objects_.find(upperAscii(programId));
    if (found == objects_.end()) {
        return nullptr;
    }
    return std::make_unique<FakeAutomationObject>(found->second, liveObjects);
}

void FakeAutomation::registerObject(const std::string& programId, std::map<std::string, std::string> properties) {
    objects_[upperAscii(programId)] = std::move(properties);
}

}  // namespace vardak::testing
